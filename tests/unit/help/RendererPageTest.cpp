// The page the renderer writes: byte-order mark, the frame around the
// fragment, the link to the style sheet, and the real help text.
#include <gtest/gtest.h>

#include "unit/help/HelpTestSupport.h"
#include "common/Text.h"
#include "lib/MarkdownRenderer/ShowHelp.h"

namespace fs = std::filesystem;
using help_test::THelpTest;

namespace {

std::size_t Count(const std::string& AText, const std::string& APart) {
  std::size_t count = 0;
  for (std::size_t at = AText.find(APart); at != std::string::npos; at = AText.find(APart, at + 1))
    ++count;
  return count;
}

TEST(HtmlDocument, FramesTheFragmentByteForByte) {
  EXPECT_EQ(TMarkdownRenderer::BuildHtmlDocument(u"<p>Текст</p>\n", u"markdown.css"),
            u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"markdown.css\" rel=\"stylesheet\">\r\n"
            u"</head>\r\n<body>\r\n<p>Текст</p>\n\r\n</body>\r\n</html>");
  // The style-sheet text goes into the link unchanged.
  EXPECT_EQ(TMarkdownRenderer::BuildHtmlDocument(u"", u"C:\\styles\\a b.css"),
            u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"C:\\styles\\a b.css\" rel=\"stylesheet\">\r\n"
            u"</head>\r\n<body>\r\n\r\n</body>\r\n</html>");
}

TEST(HtmlDocument, WithoutStyleSheetIsTheBareFragment) {
  EXPECT_EQ(TMarkdownRenderer::BuildHtmlDocument(u"<h1>x</h1>\n", u""), u"<h1>x</h1>\n");
  EXPECT_EQ(TMarkdownRenderer::BuildHtmlDocument(u"", u""), u"");
}

TEST(MarkdownConversion, FollowsCommonMarkWithDefaultOptions) {
  EXPECT_EQ(TMarkdownRenderer::MarkdownToHtml(u"# Заголовок\n\nАбзац *с* `кодом`.\n"),
            u"<h1>Заголовок</h1>\n<p>Абзац <em>с</em> <code>кодом</code>.</p>\n");
  // Default options: raw HTML is not passed through.
  EXPECT_EQ(TMarkdownRenderer::MarkdownToHtml(u"<script>x</script>\n"), u"<!-- raw HTML omitted -->\n");
  EXPECT_EQ(TMarkdownRenderer::MarkdownToHtml(u""), u"");
}

using SavedPage = THelpTest;

TEST_F(SavedPage, BeginsWithTheUtf8ByteOrderMark) {
  TMarkdownRenderer renderer;
  const std::u16string framed = renderer.SaveHtml(u"<p>Я</p>\n", u"s.css", u"");
  EXPECT_EQ(fs::path(framed), fs::path(renderer.TempDirectory()) / "md.html");
  EXPECT_EQ(help_test::ReadBytes(fs::path(framed)),
            "\xEF\xBB\xBF<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"s.css\" rel=\"stylesheet\">\r\n"
            "</head>\r\n<body>\r\n<p>\xD0\xAF</p>\n\r\n</body>\r\n</html>");

  // An existing page is replaced; an empty fragment still gets the mark.
  const std::u16string bare = renderer.SaveHtml(u"", u"", u"");
  EXPECT_EQ(bare, framed);
  EXPECT_EQ(help_test::ReadBytes(fs::path(bare)), "\xEF\xBB\xBF");

  const fs::path elsewhere = TempRoot() / "out.html";
  EXPECT_EQ(renderer.SaveHtml(u"<p>x</p>", u"", elsewhere.u16string()), elsewhere.u16string());
  EXPECT_EQ(help_test::ReadBytes(elsewhere), "\xEF\xBB\xBF<p>x</p>");
}

TEST_F(SavedPage, OfTheModulesHelpShowsItsHeadingsAndParagraphs) {
  ShowHelp();
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Caption, u"Справка");
  EXPECT_EQ(fs::path(Shown[0].Path).filename(), "md.html");
  const std::string page = Shown[0].Bytes;
  const std::string head =
      "\xEF\xBB\xBF<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"markdown.css\" rel=\"stylesheet\">\r\n"
      "</head>\r\n<body>\r\n";
  ASSERT_EQ(page.substr(0, head.size()), head);
  const std::string tail = "</p>\n\r\n</body>\r\n</html>";
  EXPECT_EQ(page.substr(page.size() - tail.size()), tail);
  EXPECT_NE(page.find("<h1>Драйвер эмулятора RFID считывателя 1C:БПО NativeAPI</h1>\n"
                      "<h2>Общая информация</h2>\n"
                      "<p>Драйвер предназначен для взаимодействия конфигураций на платформе 1С:Предприятие 8.X "
                      "с эмулятором RFID считывателя. Драйвер полностью соответствует стандарту "
                      "&quot;Требования к разработке драйверов подключаемого оборудования (версия 3.2)&quot;.</p>\n"
                      "<p>Выполнен согласно требований к разработке драйверов торгового оборудования по технологии "
                      "1С:Совместимо Native API.</p>\n"
                      "<p>Описание общих методов, настроек и алгоритмов приводится в документации к "
                      "1С:Предприятие.</p>\n"),
            std::string::npos)
      << page;
  EXPECT_EQ(Count(page, "<h1>"), 1u);
  EXPECT_EQ(Count(page, "<h2>"), 1u);
  EXPECT_EQ(Count(page, "<p>"), 3u);
}

TEST(HelpArchive, HoldsTheHelpTextAndOneStyleSheet) {
  const std::string helpText = help_test::ReadBytes(fs::path(QUORVEL_SOURCE_DIR) / "resources" / "help" / "help.md");
  EXPECT_EQ(helpText.size(), 921u);
  EXPECT_EQ(helpText.find('\r'), std::string::npos);
  EXPECT_NE(helpText.substr(0, 3), "\xEF\xBB\xBF");
}

}  // namespace
