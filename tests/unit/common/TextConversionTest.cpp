// UTF-8 <-> UTF-16 conversions: ASCII runs are copied in bulk, everything
// else goes through the code-point path, so the tests mix the two.
#include <gtest/gtest.h>

#include "common/Text.h"

TEST(TextConversion, MixedRunsRoundTrip) {
  const std::u16string Texts[] = {
      u"",
      u"ascii only <Table Tid=\"E280\"/>",
      u"Параметры",
      u"a\u00e9b\u0416c\u20acd",
      u"\U0001D11E at the start, at the end \U0001F600",
      u"x\U0001F600y\U0001F600",
  };
  for (const std::u16string& Text : Texts) {
    const std::string Utf8 = ToUtf8(Text);
    EXPECT_EQ(ToUtf16(Utf8), Text) << Utf8;
  }
  EXPECT_EQ(ToUtf8(u"ab\u0416cd"), "ab\xD0\x96" "cd");
  EXPECT_EQ(ToUtf8(u"\U0001F600z"), "\xF0\x9F\x98\x80z");
}

TEST(TextConversion, BrokenInputBecomesReplacementBetweenAsciiRuns) {
  // A lone high surrogate, a lone low surrogate, a pair in the wrong order.
  EXPECT_EQ(ToUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(ToUtf8(std::u16string(u"a") + char16_t(0xDC00)), "a\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string(u"") + char16_t(0xDC00) + char16_t(0xD800) + u"z"), "\xEF\xBF\xBD\xEF\xBF\xBDz");
  // A stray continuation byte, a truncated sequence, an overlong form, a
  // surrogate encoded in UTF-8.
  EXPECT_EQ(ToUtf16("a\x80" "b"), u"a\uFFFDb");
  EXPECT_EQ(ToUtf16("ab\xD0"), u"ab\uFFFD");
  EXPECT_EQ(ToUtf16("\xC0\xAFz"), u"\uFFFD\uFFFDz");
  EXPECT_EQ(ToUtf16("q\xED\xA0\x80q"), u"q\uFFFD\uFFFD\uFFFDq");
}
