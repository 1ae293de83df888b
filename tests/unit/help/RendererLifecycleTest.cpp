// The renderer's private temporary folder: named by a new GUID, made on
// construction, gone with everything in it on destruction, also when a step
// of the rendering fails.
#include <gtest/gtest.h>

#include <regex>

#include "unit/help/HelpTestSupport.h"
#include "common/Exception.h"
#include "common/Text.h"

namespace fs = std::filesystem;
using help_test::FolderEntries;
using help_test::THelpTest;

namespace {

using RendererFolder = THelpTest;

TEST_F(RendererFolder, IsAGuidNamedFolderUnderTheUsersTemporaryFolder) {
  fs::path folder;
  {
    TMarkdownRenderer renderer;
    folder = fs::path(renderer.TempDirectory());
    EXPECT_TRUE(renderer.SourceName().empty());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(folder.parent_path(), TempRoot());
    const std::string name = folder.filename().string();
    EXPECT_TRUE(std::regex_match(name, std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
        << name;
    const std::u16string text = renderer.TempDirectory();
    EXPECT_NE(text.back(), u'/');
    EXPECT_NE(text.back(), u'\\');
  }
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(RendererFolder, DestructionRemovesNestedContent) {
  fs::path folder;
  {
    TMarkdownRenderer renderer(u"help");
    EXPECT_EQ(renderer.SourceName(), u"help");
    folder = fs::path(renderer.TempDirectory());
    help_test::WriteBytes(folder / "sub" / "deeper" / "file.txt", "x");
    help_test::WriteBytes(folder / "top.txt", "y");
  }
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(FolderEntries(TempRoot()).empty());
}

TEST_F(RendererFolder, TwoRendersUseTwoFoldersAndLeaveNothingBehind) {
  TMarkdownRenderer::Render(u"help", u"Первый");
  TMarkdownRenderer::Render(u"HELP", u"Второй");
  ASSERT_EQ(Shown.size(), 2u);
  const fs::path first = fs::path(Shown[0].Path).parent_path();
  const fs::path second = fs::path(Shown[1].Path).parent_path();
  EXPECT_NE(first, second);
  EXPECT_EQ(first.parent_path(), TempRoot());
  EXPECT_EQ(second.parent_path(), TempRoot());
  // While the page was shown, everything it refers to was in place.
  const std::vector<std::string> expected = {"help.md", "markdown.css", "md.html", "md.zip"};
  EXPECT_EQ(Shown[0].Files, expected);
  EXPECT_EQ(Shown[1].Files, expected);
  EXPECT_EQ(Shown[0].Caption, u"Первый");
  EXPECT_EQ(Shown[1].Caption, u"Второй");
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_TRUE(FolderEntries(TempRoot()).empty());
}

TEST_F(RendererFolder, UnknownSourceFailsBeforeAnyFolderIsMade) {
  try {
    TMarkdownRenderer::Render(u"nohelp", u"Справка");
    FAIL() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"File not found: nohelp");
  }
  EXPECT_TRUE(FolderEntries(TempRoot()).empty());
  EXPECT_TRUE(Shown.empty());

  TMarkdownRenderer unnamed;
  try {
    unnamed.Render(u"Справка");
    FAIL() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"File not found: ");
  }
}

TEST_F(RendererFolder, IsRemovedWhenAStepFails) {
  // The settings template is a resource, but not an archive: unpacking fails.
  EXPECT_THROW(TMarkdownRenderer::Render(u"Parameters", u"Справка"), Exception);
  EXPECT_TRUE(FolderEntries(TempRoot()).empty());

  // A failure of the window itself reaches the caller the same way.
  TMarkdownRenderer::SetDocViewer([](const std::u16string&, const std::u16string&) {
    throw Exception(std::u16string(u"window failed"));
  });
  try {
    TMarkdownRenderer::Render(u"help", u"Справка");
    FAIL() << "no failure";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), u"window failed");
  }
  EXPECT_TRUE(FolderEntries(TempRoot()).empty());
}

TEST(RendererSource, ExistsOnlyForResourcesOfTheModule) {
  EXPECT_TRUE(TMarkdownRenderer::SourceExist(u"help"));
  EXPECT_TRUE(TMarkdownRenderer::SourceExist(u"Help"));
  EXPECT_FALSE(TMarkdownRenderer::SourceExist(u""));
  EXPECT_FALSE(TMarkdownRenderer::SourceExist(u"help.md"));
}

}  // namespace
