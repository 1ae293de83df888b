// The reader's field as the control tool's version-2 commands shape it, seen
// by the platform through the RFID methods: added tags, removals, failures
// on demand and the "RFID" event of --notify.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "rfid/uDriver.h"
#include "unit/InProcessHost.h"
#include "unit/log/LogSandbox.h"

using v8host::TComponent;
using v8host::TValue;

namespace {

constexpr char16_t kDeclaration[] = u"<?xml version=\"1.0\"?>\r\n";

class ReaderField : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(Run(u"Open", {TValue::Empty()})); }
  bool Run(std::u16string_view AName, std::vector<TValue> AParams = {}) {
    Last = C.CallAsFunc(AName, AParams);
    EXPECT_TRUE(Last.Ok);
    return Last.Result.Type == VTYPE_BOOL && Last.Result.Bool;
  }
  TDriver& Driver() { return UserObjectOf<TDriver>(C); }
  std::string Command(const std::string& ALine) { return Driver().RunFieldCommand("quorvel-tags/2 " + ALine); }
  std::u16string Table() {
    EXPECT_TRUE(Run(u"GetDataTagsRFID", {TValue::Empty(), TValue::Text16(u"pkg"), TValue::Empty()}));
    return Last.Params.at(2).Text;
  }
  bool Save(std::u16string_view ATid, std::int32_t ABank) {
    return Run(u"SaveDataTagRFID", {TValue::Empty(), TValue::Text16(ATid), TValue::Text16(u"EE01"),
                                    TValue::Text16(u"AA02"), TValue::I4(ABank), TValue::Empty()});
  }
  std::pair<std::int64_t, std::u16string> LastError() {
    auto R = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
    return {R.Result.Int, R.Params.at(0).Text};
  }
  // Everything a refused command must leave alone.
  std::string Snapshot() {
    return ToUtf8(Table()) + Command("list") + ToUtf8(Driver().FEPC1 + Driver().FUser1 + Driver().FEPC2);
  }

  LogTest::TDataFolderOverride DataFolder;
  v8host::THost Host;
  TComponent C{InProcessAddin(), Host, kDriverExtension};
  v8host::TCallResult Last;
};

}  // namespace

TEST_F(ReaderField, AddedTagsJoinTheTableInTheOrderTheyEnteredUpperCased) {
  Driver().FEPC2 = u"30751BD15C35BC0508B59F22";
  EXPECT_EQ(Command("present 2"), "quorvel-tags/2 ok shown=1 count=1 field=2 pending=0,0,0");
  EXPECT_EQ(Command("add e2003412aabbccdd:3074257bf7194e4000001a85 E2003412AABBCC01::0a0b 11223344"),
            "quorvel-tags/2 ok shown=1 count=4 field=2 pending=0,0,0");
  Driver().DataEvent(0);
  EXPECT_EQ(Table(), std::u16string(kDeclaration) +
                         u"<Table><Tag TID=\"E28011002000589616B408A2\" EPC=\"30751BD15C35BC0508B59F22\" USER=\"\"/>"
                         u"<Tag TID=\"E2003412AABBCCDD\" EPC=\"3074257BF7194E4000001A85\" USER=\"\"/>"
                         u"<Tag TID=\"E2003412AABBCC01\" EPC=\"\" USER=\"0A0B\"/>"
                         u"<Tag TID=\"11223344\" EPC=\"\" USER=\"\"/>"
                         u"<Tag TID=\"E28011002000589616B408A1\" EPC=\"\" USER=\"\"/></Table>\r\n");
  EXPECT_EQ(Driver().RFIDList(), (std::vector<std::int32_t>{1, 0}));
}

TEST_F(ReaderField, ABrokenRuleRefusesTheWholeCommandAndChangesNothing) {
  Driver().FEPC1 = u"E1";
  ASSERT_EQ(Command("add 0011223344556677:AB"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  ASSERT_NE(Command("fail write --times 2").find(" error "), std::string::npos);  // options are the tool's
  ASSERT_EQ(Command("fail write 2"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,2,0");
  const std::string Before = Snapshot();
  const std::pair<const char*, const char*> Refusals[] = {
      {"add AABBCCDD 0011223", "tid"},                 // 7 digits
      {"add AABBCCDD 001122334", "tid"},               // odd count
      {"add AABBCCDD 00112233445566778899001122334455667788990011223344556677889900112", "tid"},  // 66 digits
      {"add AABBCCDD 0011223G", "tid"},
      {"add AABBCCDD:ABC", "hex"},
      {"add AABBCCDD::XY", "hex"},
      {"add AABBCCDD e28011002000589616b408a3", "duplicate"},  // a fixed TID, any case
      {"add AABBCCDD 0011223344556677", "duplicate"},          // an added tag
      {"add AABBCCDD aabbccdd", "duplicate"},                  // twice in one command
      {"add AABBCCDD:00:11:22", "syntax"},
      {"remove 3", "unknown"},                                 // not in the field
      {"remove 0011223344556677 99887766", "unknown"},
      {"remove 9", "range"},
      {"present 1 9", "range"},
      {"fail write 0", "range"},
      {"fail sometimes 1", "syntax"},
      {"tags", "syntax"},
      {"jump", "verb"}};
  for (const auto& [Line, Word] : Refusals) {
    const std::string Answer = Command(Line);
    EXPECT_EQ(Answer.substr(0, 21 + std::string(Word).size()), "quorvel-tags/2 error " + std::string(Word))
        << Line << " -> " << Answer;
    EXPECT_EQ(Snapshot(), Before) << Line;
  }
}

TEST_F(ReaderField, AtMostTenThousandAddedTags) {
  std::string Line = "add";
  for (int I = 0; I < 10000; ++I) Line += " " + std::to_string(10000000 + I);
  ASSERT_EQ(Command(Line), "quorvel-tags/2 ok shown=1 count=10000 field= pending=0,0,0");
  EXPECT_EQ(Command("add 99999999"), "quorvel-tags/2 error limit 0");
  EXPECT_EQ(Driver().Field().AddedCount(), 10000u);
  // A window tag is no added tag.
  EXPECT_EQ(Command("present 4"), "quorvel-tags/2 ok shown=1 count=10001 field=4 pending=0,0,0");
}

TEST_F(ReaderField, WritesReachAddedTagsByTidAfterTheWindowTags) {
  ASSERT_EQ(Command("add aabbccdd:0011"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  EXPECT_TRUE(Save(u"AaBbCcDd", 1));
  EXPECT_TRUE(Save(u"aabbccdd", 3));
  EXPECT_NE(Table().find(u"<Tag TID=\"AABBCCDD\" EPC=\"EE01\" USER=\"AA02\"/>"), std::u16string::npos);
  // The window tags come first, and a TID no tag has changes nothing.
  EXPECT_TRUE(Save(u"E28011002000589616B408A3", 1));
  EXPECT_EQ(Driver().FEPC3, u"EE01");
  const std::u16string Before = Table();
  EXPECT_TRUE(Save(u"AABBCCDE", 1));
  EXPECT_EQ(Table(), Before);
}

TEST_F(ReaderField, RemovedTagsLeaveTheFieldAndClearEmptiesIt) {
  ASSERT_EQ(Command("present 3 5"), "quorvel-tags/2 ok shown=1 count=2 field=3,5 pending=0,0,0");
  ASSERT_EQ(Command("add AABBCCDD 11223344"), "quorvel-tags/2 ok shown=1 count=4 field=3,5 pending=0,0,0");
  EXPECT_EQ(Command("remove 3 aabbccdd"), "quorvel-tags/2 ok shown=1 count=2 field=5 pending=0,0,0");
  EXPECT_EQ(Command("remove E28011002000589616B408A5"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  // A removed added tag is forgotten; a window tag can come back.
  EXPECT_EQ(Command("add AABBCCDD present"), "quorvel-tags/2 error tid present");
  EXPECT_EQ(Command("add AABBCCDD"), "quorvel-tags/2 ok shown=1 count=2 field= pending=0,0,0");
  EXPECT_EQ(Command("present 3"), "quorvel-tags/2 ok shown=1 count=3 field=3 pending=0,0,0");
  EXPECT_EQ(Command("clear"), "quorvel-tags/2 ok shown=1 count=0 field= pending=0,0,0");
  EXPECT_EQ(Table(), std::u16string(kDeclaration) + u"<Table/>\r\n");
  EXPECT_EQ(Command("add 11223344"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  // Version 1's clear empties the whole field too.
  EXPECT_EQ(Driver().Barcodes()->RunCommand("quorvel-tags/1 clear"), "quorvel-tags/1 ok shown=1 field=");
  EXPECT_EQ(Driver().Field().Tags().size(), 0u);
}

TEST_F(ReaderField, PendingFailuresFailTheNextCallsAsAnyFailureDoes) {
  ASSERT_EQ(Command("add AABBCCDD:0011"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  ASSERT_EQ(Command("fail write 2"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,2,0");
  EXPECT_FALSE(Save(u"AABBCCDD", 1));
  EXPECT_EQ(LastError(), (std::pair<std::int64_t, std::u16string>{1001, u"Метка не найдена в поле считывателя"}));
  EXPECT_FALSE(Save(u"E28011002000589616B408A1", 1));
  EXPECT_EQ(Driver().FEPC1, u"") << "a failed write changes nothing";
  EXPECT_TRUE(Save(u"AABBCCDD", 1));
  EXPECT_EQ(LastError().first, 0);

  ASSERT_EQ(Command("fail read 1 No%20tags%2C%20sorry"), "quorvel-tags/2 ok shown=1 count=1 field= pending=1,0,0");
  EXPECT_FALSE(Run(u"GetDataTagsRFID", {TValue::Empty(), TValue::Text16(u"pkg"), TValue::Text16(u"as passed")}));
  EXPECT_EQ(Last.Params.at(2).Text, u"as passed");
  EXPECT_EQ(LastError(), (std::pair<std::int64_t, std::u16string>{1001, u"No tags, sorry"}));
  EXPECT_NE(Table().find(u"EPC=\"EE01\""), std::u16string::npos);

  ASSERT_EQ(Command("fail session 3"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,3");
  EXPECT_FALSE(Run(u"OpenSessionRFID", {TValue::Empty()}));
  EXPECT_EQ(LastError().first, 1001);
  EXPECT_TRUE(Host.Services.Events().empty()) << "a failed session open raises no event";
  EXPECT_EQ(Driver().PackageID(), u"");
  EXPECT_EQ(Command("fail clear"), "quorvel-tags/2 ok shown=1 count=1 field= pending=0,0,0");
  EXPECT_TRUE(Run(u"OpenSessionRFID", {TValue::Empty()}));
  EXPECT_EQ(Host.Services.Events().size(), 1u);
}

TEST_F(ReaderField, NotifyRaisesTheEventOnlyWithASessionOpen) {
  EXPECT_EQ(Command("present --notify 1"), "quorvel-tags/2 ok shown=1 count=1 field=1 pending=0,0,0");
  EXPECT_EQ(Command("add --notify AABBCCDD"), "quorvel-tags/2 ok shown=1 count=2 field=1 pending=0,0,0");
  EXPECT_TRUE(Host.Services.Events().empty());
  ASSERT_TRUE(Run(u"OpenSessionRFID", {TValue::Empty()}));
  EXPECT_EQ(Command("add --notify 11223344"), "quorvel-tags/2 ok shown=1 count=3 field=1 pending=0,0,0");
  EXPECT_EQ(Command("present 2"), "quorvel-tags/2 ok shown=1 count=4 field=1,2 pending=0,0,0");
  const auto& Events = Host.Services.Events();
  ASSERT_EQ(Events.size(), 2u);
  EXPECT_EQ(Events[1].Message, u"RFID");
  EXPECT_EQ(Events[1].Data, Driver().PackageID());
  EXPECT_EQ(Events[1].Data, Events[0].Data);
  ASSERT_TRUE(Run(u"CloseSessionRFID", {TValue::Empty()}));
  EXPECT_EQ(Command("present --notify 3"), "quorvel-tags/2 ok shown=1 count=5 field=1,2,3 pending=0,0,0");
  EXPECT_EQ(Events.size(), 2u);
}

TEST_F(ReaderField, TheTagsComePageByPageWithTheirValuesEscaped) {
  Driver().FEPC1 = u"A:B,C%D E";
  Driver().DataEvent(0);
  std::string Line = "add";
  for (int I = 0; I < 2000; ++I) Line += " " + std::to_string(10000000 + I) + ":3074257BF7194E4000001A85";
  ASSERT_EQ(Command(Line), "quorvel-tags/2 ok shown=1 count=2001 field=1 pending=0,0,0");
  std::vector<TFieldTagText> Tags;
  for (std::size_t From = 0;;) {
    const std::string Answer = Command("tags " + std::to_string(From));
    ASSERT_LE(Answer.size(), kFieldPageLimit + 200);
    const auto Page = ParseFieldAnswer(Answer);
    ASSERT_TRUE(Page && Page->Page) << Answer.substr(0, 200);
    EXPECT_EQ(Page->Page->Total, 2001u);
    Tags.insert(Tags.end(), Page->Page->Tags.begin(), Page->Page->Tags.end());
    if (Page->Page->Next == 2001u) break;
    ASSERT_GT(Page->Page->Next, From);
    From = Page->Page->Next;
  }
  ASSERT_EQ(Tags.size(), 2001u);
  EXPECT_EQ(Tags[0].Window, 1);
  EXPECT_EQ(Tags[0].TID, "E28011002000589616B408A1");
  EXPECT_EQ(Tags[0].EPC, "A:B,C%D E");
  EXPECT_EQ(Tags[2000].Window, 0);
  EXPECT_EQ(Tags[2000].TID, "10001999");
  EXPECT_EQ(Tags[2000].EPC, "3074257BF7194E4000001A85");
}
