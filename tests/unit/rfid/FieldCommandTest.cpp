// Version 2 of the control tool's lines, as both ends read them.
#include <gtest/gtest.h>

#include "rfid/FieldCommand.h"
#include "rfid/TagCommand.h"

TEST(FieldCommand, CommandsReadBackAsWritten) {
  for (const char* Line : {"quorvel-tags/2 list", "quorvel-tags/2 clear", "quorvel-tags/2 tags 120",
                           "quorvel-tags/2 present --notify 3 5", "quorvel-tags/2 add AABBCCDD:00:11 11223344",
                           "quorvel-tags/2 add --notify AABBCCDD::11", "quorvel-tags/2 remove 3 AABBCCDD",
                           "quorvel-tags/2 fail write 2 %D0%9C%20x", "quorvel-tags/2 fail session 1",
                           "quorvel-tags/2 fail clear"}) {
    const TFieldParse Parsed = ParseFieldCommand(Line);
    ASSERT_EQ(Parsed.Error.Word, "") << Line;
    EXPECT_EQ(FormatFieldCommand(Parsed.Command), Line);
  }
  EXPECT_EQ(ParseFieldCommand("quorvel-tags/2 fail write 2 %D0%9C%20x").Command.Message, "\xD0\x9C x");
}

TEST(FieldCommand, AnswersReadBackAsWritten) {
  TFieldState State;
  State.Shown = true;
  State.Count = 305;
  State.Field = {3, 5};
  State.Pending = {0, 2, 1};
  const auto Answer = ParseFieldAnswer(FormatFieldState(State));
  ASSERT_TRUE(Answer);
  EXPECT_EQ(Answer->State.Field, (std::vector<int>{3, 5}));
  EXPECT_EQ(Answer->State.Count, 305u);
  EXPECT_EQ(Answer->State.Pending, (std::array<int, 3>{0, 2, 1}));
  const auto Refused = ParseFieldAnswer(FormatFieldError({"duplicate", "E2 x"}));
  ASSERT_TRUE(Refused);
  EXPECT_EQ(Refused->Error.Value, "E2 x");
  for (const char* Text : {"quorvel-tags/2 ok shown=1 count=1 field=9 pending=0,0,0",
                           "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0",
                           "quorvel-tags/2 tags total=1 next=1 1:A:B", "quorvel-tags/2 error x %G1",
                           "quorvel-tags/1 ok shown=1 field="})
    EXPECT_FALSE(ParseFieldAnswer(Text)) << Text;
}

TEST(FieldCommand, VersionOneKeepsItsOwnLimitAndGrammar) {
  EXPECT_TRUE(IsFieldCommand("quorvel-tags/2 list"));
  EXPECT_FALSE(IsFieldCommand("quorvel-tags/1 list"));
  EXPECT_FALSE(IsFieldCommand("quorvel-tags/2"));
  EXPECT_EQ(ParseTagCommand("quorvel-tags/2 list").Error, TTagError::teVersion);
  EXPECT_EQ(ParseFieldCommand("quorvel-tags/1 list").Error.Word, "version");
  // Thousands of tags fit into one command; past the limit it is refused.
  std::string Line = "quorvel-tags/2 add";
  for (int I = 0; I < 4000; ++I) Line += " " + std::to_string(10000000 + I) + ":3074257BF7194E4000001A85";
  ASSERT_LT(Line.size(), kFieldLineLimit);
  EXPECT_EQ(ParseFieldCommand(Line).Command.Added.size(), 4000u);
  EXPECT_EQ(ParseFieldCommand(Line + std::string(kFieldLineLimit, '0')).Error.Word, "length");
}
