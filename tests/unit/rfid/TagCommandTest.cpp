// The control tool's command line grammar, as both ends read it.
#include <gtest/gtest.h>

#include "rfid/TagCommand.h"

namespace {

TTagError ErrorOf(std::string_view AText) { return ParseTagCommand(AText).Error; }

}  // namespace

TEST(TagCommand, ReadsTheThreeVerbsWithTagsInTheirOrder) {
  const auto Present = ParseTagCommand("quorvel-tags/1 present 5 3 5");
  ASSERT_EQ(Present.Error, TTagError::teNone);
  EXPECT_EQ(Present.Command.Verb, TTagVerb::tvPresent);
  EXPECT_EQ(Present.Command.Tags, (std::vector<int>{5, 3, 5}));
  EXPECT_EQ(ParseTagCommand("quorvel-tags/1 list").Command.Verb, TTagVerb::tvList);
  EXPECT_EQ(ParseTagCommand("quorvel-tags/1 clear").Command.Verb, TTagVerb::tvClear);
  EXPECT_EQ(FormatTagCommand(Present.Command), "quorvel-tags/1 present 5 3 5");
}

TEST(TagCommand, RefusesWhatIsNotTheGrammarExactly) {
  for (const char* Text : {"", "quorvel-tags/1", "quorvel-tags/1  list", "quorvel-tags/1 list ", " quorvel-tags/1 list",
                           "quorvel-tags/1 list 3", "quorvel-tags/1 clear now", "quorvel-tags/1 present",
                           "quorvel-tags/1 present 3,5", "quorvel-tags/1 present -3", "quorvel-tags/1 present 3\n",
                           "quorvel-tags/1 present\t3", "quorvel-tags/1 present 1234567890"})
    EXPECT_EQ(ErrorOf(Text), TTagError::teSyntax) << '"' << Text << '"';
  EXPECT_EQ(ErrorOf(std::string_view("quorvel-tags/1 present 3\0 5", 27)), TTagError::teSyntax);
  EXPECT_EQ(ErrorOf("quorvel-tags/2 list"), TTagError::teVersion);
  EXPECT_EQ(ErrorOf("QUORVEL-TAGS/1 list"), TTagError::teVersion);
  EXPECT_EQ(ErrorOf("quorvel-tags/1 remove 3"), TTagError::teVerb);
  EXPECT_EQ(ErrorOf("quorvel-tags/1 present " + std::string(kTagLineLimit, '1')), TTagError::teLength);
}

TEST(TagCommand, OneTagOutOfRangeRefusesTheWholeCommand) {
  EXPECT_EQ(ErrorOf("quorvel-tags/1 present 3 9"), TTagError::teRange);
  EXPECT_EQ(ErrorOf("quorvel-tags/1 present 0"), TTagError::teRange);
  EXPECT_EQ(ErrorOf("quorvel-tags/1 present 1 8"), TTagError::teNone);
  // A malformed word outweighs a number out of range.
  EXPECT_EQ(ErrorOf("quorvel-tags/1 present 9 x"), TTagError::teSyntax);
}

TEST(TagCommand, AnswersRoundTripAndForeignTextIsNoAnswer) {
  const auto Ok = ParseTagAnswer(FormatTagAnswer({true, {3, 5}}));
  ASSERT_TRUE(Ok);
  EXPECT_EQ(Ok->Error, TTagError::teNone);
  EXPECT_TRUE(Ok->State.Shown);
  EXPECT_EQ(Ok->State.Field, (std::vector<int>{3, 5}));
  EXPECT_EQ(FormatTagAnswer({false, {}}), "quorvel-tags/1 ok shown=0 field=");
  const auto Refused = ParseTagAnswer(FormatTagError(TTagError::teRange));
  ASSERT_TRUE(Refused);
  EXPECT_EQ(Refused->Error, TTagError::teRange);
  for (const char* Text : {"quorvel-tags/1 ok shown=1 field=9", "quorvel-tags/1 ok shown=2 field=", "quorvel-tags/1 ok",
                           "quorvel-tags/1 error", "quorvel-tags/1 error nonsense", "quorvel-tags/1 ok shown=1 field=3,",
                           "HTTP/1.1 200 OK"})
    EXPECT_FALSE(ParseTagAnswer(Text)) << Text;
}
