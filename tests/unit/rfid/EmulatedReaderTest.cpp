// The emulated reader as the platform lives it, through the harness, with
// tags presented by double-clicks on the tag window's images.
#include <gtest/gtest.h>

#include <memory>
#include <regex>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "common/Text.h"
#include "platform/Folders.h"
#include "rfid/uDriver.h"
#include "unit/InProcessHost.h"
#include "unit/log/LogSandbox.h"

using v8host::TComponent;
using v8host::TValue;

namespace {

class EmulatedReader : public ::testing::Test {
protected:
  void TearDown() override {
    Common::Log::SetLogMode(Common::Log::lmOff);
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
  }
  bool Run(std::u16string_view AName, std::vector<TValue> AParams = {}) {
    Last = C.CallAsFunc(AName, AParams);
    EXPECT_TRUE(Last.Ok);
    return Last.Result.Type == VTYPE_BOOL && Last.Result.Bool;
  }
  TDriver& Driver() { return UserObjectOf<TDriver>(C); }
  // Double-clicks the image that shows tag number ANumber (1 to 8).
  void Present(int ANumber) {
    for (int I = 1; I <= kTagCount; ++I) {
      platform::ui::TImage& Image = Driver().Barcodes()->Image(I);
      if (Image.Visible() && Image.Tag() == ANumber - 1) return Image.DblClick();
    }
    FAIL() << "no image shows tag " << ANumber;
  }
  std::u16string Tags() {
    EXPECT_TRUE(Run(u"GetDataTagsRFID", {TValue::Empty(), TValue::Text16(u"pkg"), TValue::Empty()}));
    return Last.Params.at(2).Text;
  }
  void Set(std::u16string_view AName, TValue AValue) {
    EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(AName), AValue}));
  }

  LogTest::TDataFolderOverride DataFolder;
  v8host::THost Host;
  TComponent C{InProcessAddin(), Host, kDriverExtension};
  v8host::TCallResult Last;
};

constexpr char16_t kDeclaration[] = u"<?xml version=\"1.0\"?>\r\n";

// The log folder spelled out: the data folder (the one the test chose where
// the system lets it be chosen), then the maker's folder and the log's name.
std::u16string SpelledLogFolder() {
#if defined(_WIN32)
  return platform::CommonAppDataFolder() + u"Halvessa\\quorvel\\";
#else
  return ToUtf16(std::getenv("XDG_DATA_HOME")) + u"/Halvessa/quorvel/";
#endif
}

// A document the host received, parsed by libxml2 alone.
struct TXmlDocFree {
  void operator()(xmlDoc* ADoc) const { xmlFreeDoc(ADoc); }
};
std::unique_ptr<xmlDoc, TXmlDocFree> ParseXml(const std::u16string& AText) {
  const std::string Bytes = ToUtf8(AText);
  return std::unique_ptr<xmlDoc, TXmlDocFree>(
      xmlReadMemory(Bytes.data(), static_cast<int>(Bytes.size()), nullptr, nullptr, XML_PARSE_NONET));
}
std::u16string Attribute(const xmlNode* ANode, const char* AName) {
  xmlChar* Value = xmlGetProp(ANode, reinterpret_cast<const xmlChar*>(AName));
  if (Value == nullptr) return u"(none)";
  const std::u16string Text = ToUtf16(reinterpret_cast<const char*>(Value));
  xmlFree(Value);
  return Text;
}
std::string NameOf(const xmlNode* ANode) { return ANode ? reinterpret_cast<const char*>(ANode->name) : "(none)"; }

}  // namespace

TEST_F(EmulatedReader, RegistersFourteenMethodsAndEighteenProperties) {
  const auto Methods = C.Methods();
  ASSERT_EQ(Methods.size(), 14u);
  EXPECT_EQ(Methods[0].Name, u"OpenSessionRFID");
  EXPECT_EQ(Methods[3].LocalName, u"ЗаписатьДанныеВМеткуRFID");
  EXPECT_EQ(Methods[3].ParamCount, 6);
  EXPECT_EQ(Methods[4].Name, u"GetInterfaceRevision");
  const auto Props = C.Props();
  ASSERT_EQ(Props.size(), 18u);
  EXPECT_EQ(Props[0].LocalName, u"Прозрачность");
  EXPECT_EQ(Props[1].Name, u"EPC1");
  EXPECT_EQ(Props[16].Name, u"USER8");
  EXPECT_EQ(Props[17].Name, u"LogEnabled");
  EXPECT_NE(std::u16string(GetClassNames()).find(u"quorvel"), std::u16string::npos);
}

TEST_F(EmulatedReader, TheRoadOfTheTags) {
  EXPECT_EQ(Tags(), std::u16string(kDeclaration) + u"<Table/>\r\n");
  Set(u"EPC5", TValue::Text16(u"E5"));
  Set(u"user5", TValue::Text16(u"U5"));
  Set(u"EPC2", TValue::Text16(u"30751BD15C35BC0508B59F22"));
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  EXPECT_TRUE(Driver().Barcodes()->Visible());
  Present(5);
  Present(2);
  Present(5);
  EXPECT_EQ(Tags(), std::u16string(kDeclaration) +
                        u"<Table><Tag TID=\"E28011002000589616B408A5\" EPC=\"E5\" USER=\"U5\"/>"
                        u"<Tag TID=\"E28011002000589616B408A2\" EPC=\"30751BD15C35BC0508B59F22\" USER=\"\"/></Table>\r\n");
  ASSERT_TRUE(Run(u"Close", {TValue::Empty()}));
  EXPECT_FALSE(Driver().Barcodes()->Visible());
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  EXPECT_EQ(Driver().RFIDList(), (std::vector<std::int32_t>{4, 1}));
}

TEST_F(EmulatedReader, SessionsRaiseOneEventEachWithAFreshIdentifier) {
  ASSERT_TRUE(Run(u"ОткрытьСессиюRFID", {TValue::Empty()}));
  ASSERT_TRUE(Run(u"OpenSessionRFID", {TValue::Empty()}));
  const auto& Events = Host.Services.Events();
  ASSERT_EQ(Events.size(), 2u);
  const std::regex Id("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}");
  for (const auto& E : Events) {
    EXPECT_EQ(E.Source, u"");
    EXPECT_EQ(E.Message, u"RFID");
    EXPECT_TRUE(std::regex_match(ToUtf8(E.Data), Id)) << ToUtf8(E.Data);
  }
  EXPECT_NE(Events[0].Data, Events[1].Data);
  EXPECT_EQ(Driver().PackageID(), Events[1].Data);
  ASSERT_TRUE(Run(u"CloseSessionRFID", {TValue::Empty()}));
  EXPECT_EQ(Driver().PackageID(), u"");
  EXPECT_EQ(Events.size(), 2u);
}

TEST_F(EmulatedReader, WritingFindsTheTagByTidIgnoringCaseAndChoosesTheBank) {
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  const auto Save = [&](std::u16string_view ATid, std::int32_t ABank) {
    return Run(u"SaveDataTagRFID", {TValue::Empty(), TValue::Text16(ATid), TValue::Text16(u"NEWEPC"),
                                    TValue::Text16(u"NEWUSER"), TValue::I4(ABank), TValue::Empty()});
  };
  EXPECT_TRUE(Save(u"e28011002000589616b408a3", 1));
  EXPECT_EQ(Driver().FEPC3, u"NEWEPC");
  EXPECT_EQ(Driver().FUser3, u"");
  Driver().FEPC3 = u"KEEP";
  for (const std::int32_t Bank : {0, 2, 3}) {
    Driver().FUser3.clear();
    EXPECT_TRUE(Save(u"E28011002000589616B408A3", Bank));
    EXPECT_EQ(Driver().FUser3, u"NEWUSER");
    EXPECT_EQ(Driver().FEPC3, u"KEEP");
  }
  EXPECT_TRUE(Save(u"NO-SUCH-TID", 1));
  EXPECT_TRUE(Run(u"SaveDataTagRFID", {TValue::Empty(), TValue::I4(7), TValue::Text16(u"X"), TValue::Empty(),
                                       TValue::I4(1), TValue::Empty()}));
  EXPECT_EQ(Driver().FEPC1, u"") << "a non-text TID reads as empty, which no opened tag has";
}

TEST_F(EmulatedReader, BeforeTheFirstOpenOnlyAnEmptyTidMatchesTagOne) {
  EXPECT_TRUE(Run(u"SaveDataTagRFID", {TValue::Empty(), TValue::Text16(u""), TValue::Text16(u"E"),
                                       TValue::Text16(u"U"), TValue::I4(1), TValue::Empty()}));
  EXPECT_EQ(Driver().FEPC1, u"E");
  EXPECT_TRUE(Run(u"SaveDataTagRFID", {TValue::Empty(), TValue::Text16(u"E28011002000589616B408A2"),
                                       TValue::Text16(u"E"), TValue::Text16(u"U"), TValue::I4(1), TValue::Empty()}));
  EXPECT_EQ(Driver().FEPC2, u"");
}

TEST_F(EmulatedReader, DeviceTestDoesNothingAndSucceeds) {
  EXPECT_TRUE(Run(u"DeviceTest", {TValue::Text16(u"a"), TValue::Text16(u"b")}));
  EXPECT_EQ(Last.Params.at(0).Text, u"");
  EXPECT_EQ(Last.Params.at(1).Text, u"");
  EXPECT_FALSE(Driver().Enabled());
  EXPECT_FALSE(Driver().Barcodes()->Visible());
}

TEST_F(EmulatedReader, TransparencySetsTheWindowAlphaOnOpen) {
  for (const auto& [Setting, Alpha] : std::vector<std::pair<int, int>>{{0, 0}, {25, 250}, {26, 4}, {20, 200}}) {
    if (Setting != 0) Set(u"Прозрачность", TValue::I4(Setting));
    ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
    EXPECT_EQ(Driver().Barcodes()->AlphaBlendValue(), Alpha) << Setting;
  }
}

TEST_F(EmulatedReader, DescriptionNamesTheReaderAndTheLiveLogState) {
  ASSERT_TRUE(Run(u"SetParameter", {TValue::Text16(u"LogEnabled"), TValue::Boolean(false)}));
  ASSERT_TRUE(Run(u"GetDescription", {TValue::Empty()}));
  const std::u16string Version = DriverInfo().DriverVersion;
  const std::u16string Folder = SpelledLogFolder();
  EXPECT_EQ(Last.Params.at(0).Text,
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<DriverDescription "
            u"Name=\"Драйвер эмулятор RFID-считывателя\" "
            u"Description=\"Драйвер эмулятор RFID-считывателя 1С:Совместимо NativeAPI\" "
            u"EquipmentType=\"СчитывательRFID\" IntegrationComponent=\"false\" MainDriverInstalled=\"false\" "
            u"DriverVersion=\"" + Version + u"\" IntegrationComponentVersion=\"" + Version + u"\" "
            u"DownloadURL=\"" + std::u16string(kDownloadURL) + u"\" LogIsEnabled=\"false\" "
            u"LogPath=\"" + Folder + u"\"/>\r\n");
  EXPECT_EQ(Version, u"1.0.0.1");
  ASSERT_TRUE(Run(u"SetParameter", {TValue::Text16(u"LogEnabled"), TValue::Boolean(true)}));
  ASSERT_TRUE(Run(u"GetDescription", {TValue::Empty()}));
  EXPECT_NE(Last.Params.at(0).Text.find(u"LogIsEnabled=\"true\""), std::u16string::npos);
  EXPECT_FALSE(DriverInfo().LogIsEnabled);
}

TEST_F(EmulatedReader, ParametersAreTheLibrarysTemplate) {
  ASSERT_TRUE(Run(u"GetParameters", {TValue::Empty()}));
  const std::u16string& Text = Last.Params.at(0).Text;
  EXPECT_EQ(Text.rfind(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Settings><Page Caption=\"Настройки\">"
                       u"<Group Caption=\"Данные RFID 1\"><Parameter Name=\"EPC1\" Caption=\"EPC1\" TypeValue=\"String\" "
                       u"DefaultValue=\"3074367C34001E880A6D6168\"/>",
                       0),
            0u)
      << ToUtf8(Text);
  EXPECT_NE(Text.find(u"<Parameter Name=\"LogEnabled\" Caption=\"Вести лог\" TypeValue=\"Boolean\" DefaultValue=\"true\"/>"),
            std::u16string::npos);
  EXPECT_NE(Text.find(u"<Item Value=\"25\">25</Item></ChoiceList>"), std::u16string::npos);
  EXPECT_EQ(Text.substr(Text.size() - 20), u"</Page></Settings>\r\n");
}

TEST_F(EmulatedReader, ShortParameterListsAreNeverReadOrWrittenPastTheirEnd) {
  v8host::TCallOptions Options;
  Options.Placement = v8host::TPlacement::plBeforeNoAccessPage;
  Options.GarbageInUnusedBytes = true;
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  Present(1);
  for (const auto* Name : {u"GetDataTagsRFID", u"SaveDataTagRFID", u"SetParameter", u"DeviceTest", u"GetLastError",
                           u"GetDescription", u"DoAdditionalAction"}) {
    const auto Takes = static_cast<std::size_t>(C.ParamCount(C.FindMethod(Name)));
    ASSERT_GT(Takes, 0u) << ToUtf8(Name);
    for (std::size_t Count = 0; Count < Takes; ++Count) {
      std::vector<TValue> Params(Count, TValue::Text16(u"E28011002000589616B408A1"));
      const auto R = C.CallAsFunc(Name, Params, Options);
      EXPECT_TRUE(R.Ok) << ToUtf8(Name);
      // The missing records are taken as absent: the answer is the one the
      // whole list gives with them empty.
      std::vector<TValue> Whole = Params;
      Whole.resize(Takes, TValue::Empty());
      EXPECT_EQ(R.Result, C.CallAsFunc(Name, Whole).Result) << ToUtf8(Name) << " with " << Count;
    }
  }
}

TEST_F(EmulatedReader, RepeatedOpenAndCloseKeepsOneSetOfPictures) {
  for (int I = 0; I < 1000; ++I) {
    ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
    ASSERT_TRUE(Run(u"Close", {TValue::Empty()}));
  }
  EXPECT_EQ(Driver().Barcodes()->BitmapCount(), static_cast<std::size_t>(kTagCount));
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

TEST_F(EmulatedReader, ASettingXmlCannotCarryFailsTheTableInsteadOfSendingABrokenDocument) {
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  Present(1);
  for (const std::u16string& Bad : {std::u16string(u"30\u0001"), std::u16string(u"AB\uFFFE")}) {
    Set(u"USER1", TValue::Text16(Bad));
    EXPECT_FALSE(Run(u"GetDataTagsRFID", {TValue::Empty(), TValue::Text16(u"pkg"), TValue::Empty()}));
    const auto Error = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
    EXPECT_EQ(Error.Params.at(0).Text.substr(0, 44), u"Character not allowed in an XML document: U+");
    EXPECT_NE(Error.Params.at(0).Text.find(u"in USER"), std::u16string::npos) << ToUtf8(Error.Params.at(0).Text);
  }
  // Tabs and line breaks are XML's own; a corrected setting works again.
  Set(u"USER1", TValue::Text16(u"A\tB"));
  EXPECT_NE(Tags().find(u"USER=\"A&#9;B\""), std::u16string::npos) << ToUtf8(Tags());
}

// The control tool's commands as the tag window carries them out: "present"
// takes the double-click's way, one refused tag or word changes nothing.
TEST_F(EmulatedReader, ToolCommandsPresentClearAndRefuseWithoutChangingTheField) {
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  TfmBarcodes& Window = *Driver().Barcodes();
  const auto Field = [&] {
    std::string Order;
    const std::u16string Xml = Tags();
    const std::u16string Tid = u"TID=\"E28011002000589616B408A";
    for (auto At = Xml.find(Tid); At != std::u16string::npos; At = Xml.find(Tid, At + 1))
      Order += static_cast<char>(Xml[At + Tid.size()]);
    return Order;
  };
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 present 3 5"), "quorvel-tags/1 ok shown=1 field=3,5");
  EXPECT_EQ(Field(), "35");
  Present(3);
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 present 3"), "quorvel-tags/1 ok shown=1 field=3,5");
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 present 1 9"), "quorvel-tags/1 error range");
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 present 1 x"), "quorvel-tags/1 error syntax");
  EXPECT_EQ(Window.RunCommand(std::string(4096, 'x')), "quorvel-tags/1 error length");
  EXPECT_EQ(Field(), "35");

  ASSERT_TRUE(Run(u"Close", {TValue::Empty()}));
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 present 2"), "quorvel-tags/1 ok shown=0 field=3,5,2");
  EXPECT_EQ(Window.RunCommand("quorvel-tags/1 clear"), "quorvel-tags/1 ok shown=0 field=");
  EXPECT_EQ(Tags(), std::u16string(kDeclaration) + u"<Table/>\r\n");
}

TEST_F(EmulatedReader, MarkupCharactersInTheSettingsAndTheLogPathReadBackAsWritten) {
  const std::u16string Epc = u"A&B<C>\"D\"&amp;";
  const std::u16string User = u"<Tag USER=\"x\"/>";
  Set(u"EPC1", TValue::Text16(Epc));
  Set(u"USER1", TValue::Text16(User));
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  Present(1);
  const auto Table = ParseXml(Tags());
  ASSERT_TRUE(Table) << ToUtf8(Tags());
  const xmlNode* Root = xmlDocGetRootElement(Table.get());
  ASSERT_EQ(NameOf(Root), "Table");
  ASSERT_EQ(xmlChildElementCount(const_cast<xmlNode*>(Root)), 1u) << ToUtf8(Tags());
  const xmlNode* Tag = xmlFirstElementChild(const_cast<xmlNode*>(Root));
  EXPECT_EQ(NameOf(Tag), "Tag");
  EXPECT_EQ(Attribute(Tag, "TID"), u"E28011002000589616B408A1");
  EXPECT_EQ(Attribute(Tag, "EPC"), Epc);
  EXPECT_EQ(Attribute(Tag, "USER"), User);

  // The log folder, here inside a data folder whose name holds the same
  // characters where the data folder can be chosen.
  const std::string Markup = "a&b<c>d\"e";
  LogTest::TDataFolderOverride MarkupFolder(Markup);
  const std::u16string Folder = SpelledLogFolder();
#if !defined(_WIN32)
  ASSERT_NE(Folder.find(ToUtf16(Markup)), std::u16string::npos) << ToUtf8(Folder);
#endif
  ASSERT_TRUE(Run(u"GetDescription", {TValue::Empty()}));
  const auto Description = ParseXml(Last.Params.at(0).Text);
  ASSERT_TRUE(Description) << ToUtf8(Last.Params.at(0).Text);
  const xmlNode* Driver = xmlDocGetRootElement(Description.get());
  ASSERT_EQ(NameOf(Driver), "DriverDescription");
  EXPECT_EQ(Attribute(Driver, "LogPath"), Folder);
}
