// The common driver as the platform sees it, on a probe driver class.
#include <gtest/gtest.h>

#include <cstring>

#include "unit/InProcessHost.h"
#include "unit/driver/ProbeDriver.h"
#include "unit/log/LogSandbox.h"

using v8host::TComponent;
using v8host::TValue;

namespace {

const bool Registered = [] {
  TCustomDriver::RegisterClass<TProbeDriver>(kProbeDriver);
  return true;
}();

class CommonDriver : public ::testing::Test {
protected:
  void TearDown() override {
    Common::Log::SetLogMode(Common::Log::lmOff);
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
  }
  // Calls a method and answers its driver-level result (RetValue).
  bool Run(std::u16string_view AName, std::vector<TValue> AParams = {}) {
    auto R = C.CallAsFunc(AName, AParams);
    EXPECT_TRUE(R.Ok) << "the call itself answers true";
    Last = R;
    return R.Result.Type == VTYPE_BOOL && R.Result.Bool;
  }
  std::pair<std::int64_t, std::u16string> LastError() {
    auto R = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
    return {R.Result.Int, R.Params.at(0).Text};
  }
  TProbeDriver& Driver() { return UserObjectOf<TProbeDriver>(C); }

  LogTest::TDataFolderOverride DataFolder;
  v8host::THost Host;
  TComponent C{InProcessAddin(), Host, kProbeDriver};
  v8host::TCallResult Last;
};

}  // namespace

TEST_F(CommonDriver, RegistersOwnMembersBeforeInheritedOnes) {
  std::vector<std::u16string> Methods;
  for (const auto& M : C.Methods()) {
    Methods.push_back(M.Name + u"/" + M.LocalName);
    EXPECT_TRUE(M.HasRetVal);
  }
  const std::vector<std::u16string> Expected = {
      u"Twice/Дважды", u"Twice/ДваждыЕщё", u"GetInterfaceRevision/ПолучитьРевизиюИнтерфейса",
      u"GetDescription/ПолучитьОписание", u"GetLastError/ПолучитьОшибку", u"Open/Подключить",
      u"Close/Отключить", u"GetParameters/ПолучитьПараметры", u"SetParameter/УстановитьПараметр",
      u"DeviceTest/ТестУстройства", u"GetAdditionalActions/ПолучитьДополнительныеДействия",
      u"DoAdditionalAction/ВыполнитьДополнительноеДействие"};
  EXPECT_EQ(Methods, Expected);
  const auto Props = C.Props();
  ASSERT_EQ(Props.size(), 7u);
  EXPECT_EQ(Props.front().Name, u"Count");
  EXPECT_EQ(Props.back().Name, u"LogEnabled");
  EXPECT_EQ(Props.back().LocalName, u"ЛогВключен");
  EXPECT_FALSE(Props[2].Writable);  // Serial
  EXPECT_EQ(C.ParamCount(C.FindMethod(u"SaveDataTagRFID")), 0);
  EXPECT_EQ(C.ParamCount(C.FindMethod(u"SetParameter")), 2);
}

TEST_F(CommonDriver, LastErrorFollowsTheFramedCalls) {
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{0}, std::u16string()));
  EXPECT_FALSE(Run(u"DoAdditionalAction", {TValue::Text16(u"Nothing")}));
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{1001}, std::u16string(u"Action not found")));
  EXPECT_EQ(LastError().first, 1001) << "asking does not clear it";
  Run(u"ПолучитьРевизиюИнтерфейса");  // a number, not a success flag
  EXPECT_EQ(Last.Result.Type, VTYPE_I4);
  EXPECT_EQ(Last.Result.Int, 3002);
  EXPECT_EQ(LastError().first, 1001) << "the revision leaves the last result alone";
  EXPECT_TRUE(Run(u"Twice"));
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{0}, std::u16string()));
}

TEST_F(CommonDriver, ActionsAreFoundByTheirExactEnglishName) {
  EXPECT_FALSE(Run(u"DoAdditionalAction", {TValue::Text16(u"reset")}));
  EXPECT_FALSE(Run(u"DoAdditionalAction", {TValue::Text16(u"Сбросить")}));
  EXPECT_FALSE(Run(u"DoAdditionalAction", {TValue::I4(5)}));
  EXPECT_EQ(Driver().Resets, 0);
  EXPECT_TRUE(Run(u"DoAdditionalAction", {TValue::Text16(u"Reset")}));
  EXPECT_EQ(Driver().Resets, 1) << "two declarations, one run";
}

TEST_F(CommonDriver, SetParameterFindsPropertiesByEitherNameInAnyCase) {
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"count"), TValue::Text16(u"12")}));
  EXPECT_EQ(Driver().FCount, 12);
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"КОЛИЧЕСТВО"), TValue::R8(7.9)}));
  EXPECT_EQ(Driver().FCount, 7);
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"ratio"), TValue::Text16(u"0,75")}));
  EXPECT_EQ(Driver().FRatio, 0.75);
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"ЛОГВКЛЮЧЕН"), TValue::Boolean(true)}));
  EXPECT_EQ(Common::Log::LogMode(), Common::Log::lmAll);
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"logenabled"), TValue::Boolean(false)}));
  EXPECT_EQ(Common::Log::LogMode(), Common::Log::lmOff);
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"LogEnabled"), TValue::I4(1)}));
  EXPECT_EQ(Common::Log::LogMode(), Common::Log::lmAll);
}

TEST_F(CommonDriver, LogEnabledTakesAnyNonZeroBooleanByteAsTrue) {
  for (const std::uint8_t Byte : {std::uint8_t{2}, std::uint8_t{255}}) {
    V8Variant Value{};
    Value.vt = VTYPE_BOOL;
    std::memcpy(&Value.VarEnum, &Byte, 1);
    Driver().PropertySet(u"LogEnabled", &Value);
    EXPECT_EQ(Common::Log::LogMode(), Common::Log::lmAll) << int(Byte);
    Common::Log::SetLogMode(Common::Log::lmOff);
  }
}

TEST_F(CommonDriver, SetParameterRefusalsCarryTheirMessages) {
  const std::vector<std::pair<std::vector<TValue>, std::u16string>> Cases = {
      {{TValue::Text16(u"Title"), TValue::I4(3)}, u"Value type unacceptable"},
      {{TValue::Text16(u"sERIAL"), TValue::Text16(u"x")}, u"Property is read-only: sERIAL"},
      {{TValue::Text16(u"Letter"), TValue::Text16(u"B")}, u"Property type unacceptable"},
      {{TValue::Text16(u"Colour"), TValue::I4(1)}, u"Property type unacceptable"},
      {{TValue::Text16(u"Nope"), TValue::I4(1)}, u"Property not found: Nope"},
      {{TValue::I4(1), TValue::I4(1)}, u"Property not found: "},
  };
  for (const auto& [Params, Message] : Cases) {
    EXPECT_FALSE(Run(u"SetParameter", Params));
    EXPECT_EQ(LastError(), std::make_pair(std::int64_t{1001}, Message));
  }
  EXPECT_EQ(Driver().FTitle, u"");
  EXPECT_EQ(Driver().FSerial, u"SN-1");
}

TEST_F(CommonDriver, HostPropertyAccessUsesTheDeclaredTypes) {
  EXPECT_EQ(C.GetPropVal(u"Serial").Result.Text, u"SN-1");
  EXPECT_EQ(C.GetPropVal(u"Доля").Result.Real, 0.25);
  EXPECT_TRUE(C.SetPropVal(u"Title", TValue::Text16(u"Склад")));
  EXPECT_EQ(Driver().FTitle, u"Склад");
  EXPECT_FALSE(C.GetPropVal(u"Letter").Ok);
  EXPECT_FALSE(C.GetPropVal(u"Colour").Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 2u);
  EXPECT_EQ(Host.Services.Errors()[1].Description, u"Property type unacceptable");
}

TEST_F(CommonDriver, OpenLeavesItsParameterAlone) {
  auto R = C.CallAsFunc(u"Open", {TValue::Text16(u"device-1")});
  EXPECT_TRUE(R.Result.Bool);
  EXPECT_EQ(R.Params.at(0).Text, u"device-1");
  EXPECT_TRUE(Driver().Enabled());
  EXPECT_TRUE(Run(u"Close", {TValue::Empty()}));
  EXPECT_FALSE(Driver().Enabled());
}

TEST_F(CommonDriver, ADeviceTestWhoseOpenFailsClosesAndReports) {
  Driver().OpenFails = true;
  EXPECT_FALSE(Run(u"DeviceTest", {TValue::Empty(), TValue::Text16(u"untouched")}));
  EXPECT_EQ(Last.Params.at(0).Text, u"Порт занят");
  EXPECT_EQ(Last.Params.at(1).Text, u"untouched");
  EXPECT_EQ(Driver().Closes, 1);
  EXPECT_EQ(LastError(), std::make_pair(std::int64_t{1001}, std::u16string(u"Порт занят")));
  Driver().OpenFails = false;
  EXPECT_TRUE(Run(u"DeviceTest", {TValue::Empty(), TValue::Empty()}));
  EXPECT_EQ(Last.Params.at(0).Text, DriverInfo().Description);
  EXPECT_FALSE(Driver().Enabled());
}

TEST_F(CommonDriver, DocumentsAreCrLfJoinedXml) {
  ASSERT_TRUE(Run(u"GetAdditionalActions", {TValue::Empty()}));
  EXPECT_EQ(Last.Params.at(0).Text,
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Actions><Action Name=\"Reset\" Caption=\"Сбросить\"/>"
            u"<Action Name=\"Reset\" Caption=\"Сбросить снова\"/><Action Name=\"ViewLog\" Caption=\"Просмотр лога\"/>"
            u"<Action Name=\"ShowHelp\" Caption=\"Справка\"/></Actions>\r\n");
  ASSERT_TRUE(Run(u"GetParameters", {TValue::Empty()}));
  EXPECT_EQ(Last.Params.at(0).Text,
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Settings><Page Caption=\"Параметры\">"
            u"<Parameter Name=\"Count\" Caption=\"Количество\" TypeValue=\"Number\" DefaultValue=\"0\" ReadOnly=\"false\"/>"
            u"<Parameter Name=\"Title\" Caption=\"Заголовок\" TypeValue=\"String\" DefaultValue=\"\" ReadOnly=\"false\"/>"
            u"<Parameter Name=\"Serial\" Caption=\"Серийный номер\" TypeValue=\"String\" DefaultValue=\"SN\" ReadOnly=\"true\"/>"
            u"<Parameter Name=\"Ratio\" Caption=\"Доля\" TypeValue=\"Number\" DefaultValue=\"0.5\" ReadOnly=\"false\"/>"
            u"<Parameter Name=\"Letter\" Caption=\"Буква\" TypeValue=\"String\" DefaultValue=\"A\" ReadOnly=\"false\"/>"
            u"<Parameter Name=\"Colour\" Caption=\"Цвет\" TypeValue=\"Unknown\" DefaultValue=\"Red\" ReadOnly=\"false\"/>"
            u"<Parameter Name=\"LogEnabled\" Caption=\"Вести лог\" TypeValue=\"Boolean\" DefaultValue=\"False\" ReadOnly=\"false\"/>"
            u"</Page></Settings>\r\n");
}

TEST(ResultRecord, IntegerResultOfAFailureIsNeverZero) {
  TResult R;
  R.Clear();
  EXPECT_EQ(R.GetIntResult(), 0);
  R.SetError(u"x", 0);
  EXPECT_EQ(R.GetIntResult(), 1001);
  R.SetError(u"x", 5);
  EXPECT_EQ(R.GetIntResult(), 5);
}

TEST(DocumentTexts, EnumerationTextsRefuseUnknownValues) {
  EXPECT_EQ(EquipmentTypeName(etRFIDReader), u"СчитывательRFID");
  EXPECT_EQ(EquipmentTypeName(etUnknown), u"НеизвестныйТипОборудования");
  EXPECT_THROW(EquipmentTypeName(14), Exception);
  EXPECT_THROW(ValueTypeName(4), Exception);
  EXPECT_EQ(ValueTypeName(2), u"Boolean");
}

