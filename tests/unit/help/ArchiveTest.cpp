// Unpacking the help archive: relative paths are kept, a path that would
// leave the temporary folder refuses the archive, the first Markdown file
// is the one shown, and a missing style sheet leaves the bare fragment.
#include <gtest/gtest.h>

#include "unit/help/HelpTestSupport.h"
#include "common/Exception.h"
#include "common/Text.h"
#include "lib/MarkdownRenderer/uZipExtract.h"

namespace fs = std::filesystem;
using help_test::FolderEntries;
using help_test::THelpTest;
using help_test::WriteZip;

namespace {

using Archive = THelpTest;

fs::path ArchiveOf(const TMarkdownRenderer& ARenderer) { return fs::path(ARenderer.TempDirectory()) / "md.zip"; }

TEST_F(Archive, KeepsTheEntriesRelativePaths) {
  TMarkdownRenderer renderer;
  WriteZip(ArchiveOf(renderer),
           {{"doc.md", "# T\n"}, {"img/logo.png", "PNG"}, {"img/", ""}, {"a/b/c.txt", "deep"}, {"./dot.txt", "d"}});
  renderer.UnpackArchive();
  const fs::path folder(renderer.TempDirectory());
  EXPECT_EQ(help_test::ReadBytes(folder / "doc.md"), "# T\n");
  EXPECT_EQ(help_test::ReadBytes(folder / "img" / "logo.png"), "PNG");
  EXPECT_EQ(help_test::ReadBytes(folder / "a" / "b" / "c.txt"), "deep");
  EXPECT_EQ(help_test::ReadBytes(folder / "dot.txt"), "d");
}

TEST_F(Archive, WithAPathLeavingTheFolderIsRefusedAndWritesNothing) {
  const std::vector<std::string> unsafe = {"../evil.txt", "/abs.txt", "C:/x.txt", "sub/../../evil.txt",
                                           "..\\evil.txt", "\\abs.txt", "c:x.txt"};
  for (const std::string& name : unsafe) {
    TMarkdownRenderer renderer;
    // A harmless entry first: nothing at all may be written.
    WriteZip(ArchiveOf(renderer), {{"help.md", "# H\n"}, {name, "evil"}});
    try {
      renderer.UnpackArchive();
      ADD_FAILURE() << name << " was unpacked";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), u"Unsafe path in archive: " + ToUtf16(name));
    }
    EXPECT_EQ(FolderEntries(fs::path(renderer.TempDirectory())), std::vector<std::string>{"md.zip"}) << name;
    EXPECT_EQ(FolderEntries(TempRoot()).size(), 1u) << name;  // only the renderer's own folder
  }
  EXPECT_FALSE(fs::exists(fs::path("/abs.txt")));
}

TEST(ZipEntryName, StaysInsideTheFolder) {
  const fs::path folder = fs::path("base");
  const auto target = [&folder](const char* AName) { return fs::path(ZipEntryTarget(folder.u16string(), AName)); };
  EXPECT_EQ(target("a.md"), folder / "a.md");
  EXPECT_EQ(target("x/y.css"), folder / "x" / "y.css");
  EXPECT_EQ(target("x\\y.css"), folder / "x" / "y.css");
  EXPECT_EQ(target("x//./y.css"), folder / "x" / "y.css");
  EXPECT_EQ(target("..a/b..c"), folder / "..a" / "b..c");
  EXPECT_EQ(target("\xD0\xAF.md"), folder / fs::path(u"Я.md"));
  for (const char* name : {"", "..", "a/..", "/", "//server/share/x", "D:\\x", "a:b"})
    EXPECT_THROW(target(name), Exception) << name;
}

TEST_F(Archive, ShowsOnlyTheFirstMarkdownFile) {
  TMarkdownRenderer renderer;
  WriteZip(ArchiveOf(renderer), {{"b.md", "# Second\n"}, {"a.MD", "# First\n"}, {"x.css", "body{}"}});
  renderer.UnpackArchive();
  EXPECT_EQ(renderer.FindTempFile(u"md"), u"a.MD");
  EXPECT_EQ(renderer.FindTempFile(u"css"), u"x.css");
  EXPECT_EQ(renderer.FindTempFile(u"zip"), u"md.zip");
  EXPECT_EQ(renderer.FindTempFile(u"txt"), u"");
  EXPECT_THROW(renderer.FindTempFile(u"m?"), Exception);

  const std::u16string page = renderer.RenderTempFolder(u"Документ");
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Path, page);
  EXPECT_EQ(Shown[0].Caption, u"Документ");
  EXPECT_NE(Shown[0].Bytes.find("<h1>First</h1>"), std::string::npos);
  EXPECT_EQ(Shown[0].Bytes.find("Second"), std::string::npos);
  EXPECT_NE(Shown[0].Bytes.find("<link href=\"x.css\" rel=\"stylesheet\">"), std::string::npos);
}

TEST_F(Archive, WithoutStyleSheetGivesTheBareFragment) {
  TMarkdownRenderer renderer;
  WriteZip(ArchiveOf(renderer), {{"help.md", "\xEF\xBB\xBF# \xD0\xAF\n\ntext\n"}, {"notes/style.css", "ignored"}});
  renderer.UnpackArchive();
  renderer.RenderTempFolder(u"c");
  ASSERT_EQ(Shown.size(), 1u);
  // Only the top level is searched, so the nested style sheet does not count.
  EXPECT_EQ(Shown[0].Bytes, "\xEF\xBB\xBF<h1>\xD0\xAF</h1>\n<p>text</p>\n");
}

TEST_F(Archive, WithoutMarkdownFileFails) {
  TMarkdownRenderer renderer;
  WriteZip(ArchiveOf(renderer), {{"readme.txt", "# no"}, {"style.css", ""}, {"docs/inner.md", "# nested"}});
  renderer.UnpackArchive();
  try {
    renderer.RenderTempFolder(u"c");
    FAIL() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"Mardown file not found");
  }
  EXPECT_TRUE(Shown.empty());
}

TEST_F(Archive, ThatIsDamagedFails) {
  TMarkdownRenderer renderer;
  help_test::WriteBytes(ArchiveOf(renderer), "PK\x03\x04 this is not an archive");
  EXPECT_THROW(renderer.UnpackArchive(), Exception);
}

}  // namespace
