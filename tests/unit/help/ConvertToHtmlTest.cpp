// Converting a Markdown file on disk into an HTML file.
#include <gtest/gtest.h>

#include "unit/help/HelpTestSupport.h"
#include "common/Exception.h"

namespace fs = std::filesystem;
using help_test::THelpTest;

namespace {

using ConvertToHtml = THelpTest;

std::u16string FailureOf(const std::function<void()>& AAction) {
  try {
    AAction();
  } catch (const Exception& error) {
    return error.Message();
  }
  return u"<no failure>";
}

TEST_F(ConvertToHtml, ReportsAMissingSourceOrStyleSheet) {
  const std::u16string source = (TempRoot() / "in.md").u16string();
  const std::u16string missing = (TempRoot() / "missing.md").u16string();
  const std::u16string destination = (TempRoot() / "out.html").u16string();
  help_test::WriteBytes(fs::path(source), "text\n");
  EXPECT_EQ(FailureOf([&] { TMarkdownRenderer::ConvertToHtml(missing, destination, u""); }),
            u"File not found: " + missing);
  EXPECT_EQ(FailureOf([&] { TMarkdownRenderer::ConvertToHtml(u"", destination, u""); }), u"File not found: ");
  // A folder is no source file.
  EXPECT_EQ(FailureOf([&] { TMarkdownRenderer::ConvertToHtml(TempRoot().u16string(), destination, u""); }),
            u"File not found: " + TempRoot().u16string());
  EXPECT_EQ(FailureOf([&] { TMarkdownRenderer::ConvertToHtml(source, destination, u"nowhere.css"); }),
            u"File not found: nowhere.css");
  EXPECT_FALSE(fs::exists(fs::path(destination)));
  // Nothing is left behind by the failed calls.
  EXPECT_EQ(help_test::FolderEntries(TempRoot()), std::vector<std::string>{"in.md"});
}

TEST_F(ConvertToHtml, WritesThePageLinkingTheStyleSheetAsGiven) {
  const fs::path source = TempRoot() / "in.md";
  const fs::path css = TempRoot() / "site.css";
  const fs::path destination = TempRoot() / "out.html";
  help_test::WriteBytes(source, std::string("\xFF\xFE" "#\0 \0x\0", 8));  // "# x" in UTF-16 LE
  help_test::WriteBytes(css, "body{}");
  TMarkdownRenderer::ConvertToHtml(source.u16string(), destination.u16string(), css.u16string());
  EXPECT_EQ(help_test::ReadBytes(destination),
            "\xEF\xBB\xBF<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"" + css.string() +
                "\" rel=\"stylesheet\">\r\n</head>\r\n<body>\r\n<h1>x</h1>\n\r\n</body>\r\n</html>");

  TMarkdownRenderer::ConvertToHtml(source.u16string(), destination.u16string(), u"");
  EXPECT_EQ(help_test::ReadBytes(destination), "\xEF\xBB\xBF<h1>x</h1>\n");
  // Only the source, the style sheet and the page remain: the renderer's
  // own folders are gone.
  EXPECT_EQ(help_test::FolderEntries(TempRoot()), (std::vector<std::string>{"in.md", "out.html", "site.css"}));
}

TEST_F(ConvertToHtml, ReadsARelativeSourceWhereItWasFound) {
  const fs::path previous = fs::current_path();
  help_test::WriteBytes(TempRoot() / "rel.md", "*a*\n");
  fs::current_path(TempRoot());
  std::u16string failure;
  try {
    TMarkdownRenderer::ConvertToHtml(u"rel.md", u"rel.html", u"");
  } catch (const Exception& error) {
    failure = error.Message();
  }
  fs::current_path(previous);
  EXPECT_EQ(failure, u"");
  EXPECT_EQ(help_test::ReadBytes(TempRoot() / "rel.html"), "\xEF\xBB\xBF<p><em>a</em></p>\n");
}

}  // namespace
