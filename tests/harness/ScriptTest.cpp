// The call syntax of the v8host tool.
#include <gtest/gtest.h>

#include "v8host/Error.h"
#include "v8host/Script.h"

using namespace v8host;

TEST(Script, LiteralsGetThePlatformsTypes) {
  EXPECT_EQ(ParseLiteral("42").Type, VTYPE_I4);
  EXPECT_EQ(ParseLiteral("-2147483648").Int, -2147483648LL);
  const TValue big = ParseLiteral("3000000000");
  EXPECT_EQ(big.Type, VTYPE_R8) << "numbers past 32 bits travel as doubles";
  EXPECT_EQ(big.Real, 3e9);
  EXPECT_EQ(ParseLiteral("-1.5").Real, -1.5);
  EXPECT_EQ(ParseLiteral("1e3").Type, VTYPE_R8);
  EXPECT_EQ(ParseLiteral("true").Type, VTYPE_BOOL);
  EXPECT_FALSE(ParseLiteral("Ложь").Bool);
  EXPECT_TRUE(ParseLiteral("ИСТИНА").Bool);
  EXPECT_EQ(ParseLiteral("undefined").Type, VTYPE_EMPTY);
  EXPECT_EQ(ParseLiteral("Неопределено").Type, VTYPE_EMPTY);
  EXPECT_EQ(ParseLiteral("null").Type, VTYPE_NULL);

  const TValue when = ParseLiteral("2026-12-08T10:00:00");
  EXPECT_EQ(when.Type, VTYPE_TM);
  EXPECT_EQ(when.DateTime, (TDateTime{2026, 12, 8, 10, 0, 0}));
  EXPECT_EQ(ParseLiteral("2026-12-08").DateTime, (TDateTime{2026, 12, 8, 0, 0, 0}));
}

TEST(Script, TextsKeepUnicodeAndEscapes) {
  const TValue text = ParseLiteral(R"("Сканер \"A\"\n\u0416\\")");
  EXPECT_EQ(text.Type, VTYPE_PWSTR);
  EXPECT_EQ(text.Text, u"Сканер \"A\"\nЖ\\");
  // The displayed form reads back as the same text.
  EXPECT_EQ(ParseLiteral(text.Display()).Text, text.Text);
  EXPECT_EQ(ParseLiteral("\"\"").Text, u"");
}

TEST(Script, BadLiteralsAreRejectedWithAColumn) {
  for (const char* bad : {"\"open", "2026-13-01", "2026-02-30", "12abc", "maybe", "", "1 2", "\"\\q\""}) {
    EXPECT_THROW(ParseLiteral(bad), THostError) << bad;
  }
  try {
    ParseCallLine("Open(1,, 2)");
    FAIL();
  } catch (const THostError& e) {
    EXPECT_NE(std::string(e.what()).find("column 8"), std::string::npos) << e.what();
  }
}

TEST(Script, LinesAreCallsGetsSetsAndPumps) {
  TCallLine line = ParseCallLine("  SetParameter(\"EPC1\", 3000, true) ");
  EXPECT_EQ(line.Kind, TCallLine::ckCall);
  EXPECT_EQ(line.Name, u"SetParameter");
  ASSERT_EQ(line.Args.size(), 3u);
  EXPECT_EQ(line.Args[0].Text, u"EPC1");
  EXPECT_EQ(line.Args[2].Type, VTYPE_BOOL);

  line = ParseCallLine("ПолучитьРевизиюИнтерфейса()");
  EXPECT_EQ(line.Kind, TCallLine::ckCall);
  EXPECT_EQ(line.Name, u"ПолучитьРевизиюИнтерфейса");
  EXPECT_TRUE(line.Args.empty());

  line = ParseCallLine("Прозрачность");
  EXPECT_EQ(line.Kind, TCallLine::ckName);

  line = ParseCallLine("Transparency = 150");
  EXPECT_EQ(line.Kind, TCallLine::ckSet);
  EXPECT_EQ(line.Value.Int, 150);

  line = ParseCallLine(":pump 250");
  EXPECT_EQ(line.Kind, TCallLine::ckPump);
  EXPECT_EQ(line.Milliseconds, 250);

  line = ParseCallLine(":echo  Two tags, \"1\" and 2  ");
  EXPECT_EQ(line.Kind, TCallLine::ckEcho);
  EXPECT_EQ(line.Text, "Two tags, \"1\" and 2") << "the text is taken as written";

  // Other directives are left to whoever runs the session.
  line = ParseCallLine(":present 3");
  EXPECT_EQ(line.Kind, TCallLine::ckDirective);
  EXPECT_EQ(line.Name, u"present");
  EXPECT_EQ(line.Text, "3");

  EXPECT_EQ(ParseCallLine("# a comment").Kind, TCallLine::ckNothing);
  EXPECT_EQ(ParseCallLine("   ").Kind, TCallLine::ckNothing);
  EXPECT_THROW(ParseCallLine("Open(1"), THostError);
  EXPECT_THROW(ParseCallLine("Open() trailing"), THostError);
  EXPECT_THROW(ParseCallLine(":pump soon"), THostError);
  EXPECT_THROW(ParseCallLine(":"), THostError);
  EXPECT_THROW(ParseCallLine(":(1)"), THostError);
  EXPECT_THROW(ParseCallLine("(1)"), THostError);
}
