// Reading the Markdown text: the byte-order mark decides the encoding.
#include <gtest/gtest.h>

#include "unit/help/HelpTestSupport.h"
#include "lib/MarkdownRenderer/uTextDecoding.h"

namespace fs = std::filesystem;
using help_test::THelpTest;

namespace {

// "Ёж 𝄞" : Cyrillic, a space and a character outside the basic plane.
const std::u16string Text = u"\u0401\u0436 \U0001D11E";
const std::string Utf8 = "\xD0\x81\xD0\xB6 \xF0\x9D\x84\x9E";
const std::string Utf16Le = std::string("\x01\x04\x36\x04\x20\x00\x34\xD8\x1E\xDD", 10);
const std::string Utf16Be = std::string("\x04\x01\x04\x36\x00\x20\xD8\x34\xDD\x1E", 10);

TEST(TextDecoding, FollowsTheByteOrderMark) {
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF" + Utf8), Text);
  EXPECT_EQ(DecodeTextBytes("\xFF\xFE" + Utf16Le), Text);
  EXPECT_EQ(DecodeTextBytes("\xFE\xFF" + Utf16Be), Text);
  EXPECT_EQ(DecodeTextBytes(Utf8), Text);
  // The mark is not part of the text, and a lone mark is an empty text.
  EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF"), u"");
  EXPECT_EQ(DecodeTextBytes("\xFF\xFE"), u"");
  EXPECT_EQ(DecodeTextBytes(""), u"");
  // UTF-16 without its mark is not guessed: it is read as UTF-8.
  EXPECT_EQ(DecodeTextBytes(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  // A dangling byte of UTF-16 text is dropped; broken UTF-8 becomes U+FFFD.
  EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE" "A\0B", 5)), u"A");
  EXPECT_EQ(DecodeTextBytes("a\xFFz"), u"a\uFFFDz");
}

using TextFile = THelpTest;

TEST_F(TextFile, IsReadInsideTheTemporaryFolderOrAtItsAbsolutePath) {
  TMarkdownRenderer renderer;
  const fs::path folder(renderer.TempDirectory());
  help_test::WriteBytes(folder / "le.md", "\xFF\xFE" + Utf16Le);
  help_test::WriteBytes(folder / "be.md", "\xFE\xFF" + Utf16Be);
  help_test::WriteBytes(folder / "bom.md", "\xEF\xBB\xBF" + Utf8);
  help_test::WriteBytes(TempRoot() / "plain.md", Utf8);
  EXPECT_EQ(renderer.ReadTextFile(u"le.md"), Text);
  EXPECT_EQ(renderer.ReadTextFile(u"be.md"), Text);
  EXPECT_EQ(renderer.ReadTextFile(u"bom.md"), Text);
  EXPECT_EQ(renderer.ReadTextFile((TempRoot() / "plain.md").u16string()), Text);
  EXPECT_THROW(renderer.ReadTextFile(u"plain.md"), std::exception);
}

}  // namespace
