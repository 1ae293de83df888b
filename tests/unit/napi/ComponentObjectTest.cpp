// The bridge as the platform sees it: a probe class registered beside the
// driver, driven through the component object's tables by the harness.
#include <gtest/gtest.h>

#include "unit/InProcessHost.h"
#include "common/Exception.h"
#include "napi/ClassRegistry.h"

using v8host::TCallOptions;
using v8host::TComponent;
using v8host::TPlacement;
using v8host::TValue;

namespace {

class TProbe : public TV8UserObject {
public:
  int Runs = 0;
};

bool Echo(TV8UserObject& ASelf, PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
          TV8AddInDefBaseEx*&) {
  auto& Probe = static_cast<TProbe&>(ASelf);
  ++Probe.Runs;
  Probe.V8SetWString(RetValue, V8GetWString(Params[0]) + u"/" + std::u16string(1, char16_t(u'0' + ParamCount)));
  // Writes into every position the method declares, present or not.
  for (std::int32_t I = 0; I < 3; ++I) Probe.V8SetInt(Params[I], 100 + I);
  return true;
}

bool Fail(TV8UserObject&, PV8Variant, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*&) {
  throw Exception(std::u16string(u"Сбой"));
}

bool Crash(TV8UserObject&, PV8Variant, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*&) { throw 42; }

bool Proc(TV8UserObject& ASelf, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*&) {
  ++static_cast<TProbe&>(ASelf).Runs;
  return true;
}

bool Property(TV8UserObject& ASelf, const std::u16string& AName, PV8Variant AValue, bool AGet,
              TV8AddInDefBaseEx*&) {
  if (!AGet) throw Exception(u"Property is read-only: " + AName);
  ASelf.V8SetInt(AValue, 7);
  return true;
}

const bool Registered = [] {
  TClassReg& Reg = ClassRegList().RegisterClass([] { return std::unique_ptr<TV8UserObject>(new TProbe); },
                                                u"ProbeExt", u"NapiProbe");
  TMethReg& EchoReg = Reg.AddFunc(u"Echo", u"Эхо", &Echo, 3);
  EchoReg.DefParams.AddInt(9, 2);
  Reg.AddFunc(u"Fail", u"Сбить", &Fail, 0);
  Reg.AddFunc(u"Crash", u"Обрушить", &Crash, 0);
  Reg.AddProc(u"Proc", u"Процедура", &Proc, 0);
  Reg.AddProp(u"Seven", u"Семь", true, false, &Property);
  ClassRegList().RegisterClass([]() -> std::unique_ptr<TV8UserObject> { throw Exception("no"); }, u"Broken",
                               u"BrokenProbe");
  return true;
}();

class ComponentObject : public ::testing::Test {
protected:
  void TearDown() override { EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport(); }
  v8host::THost Host;
};

}  // namespace

TEST_F(ComponentObject, ClassesAreFoundByTheirExactName) {
  EXPECT_NE(std::u16string(GetClassNames()).find(u"NapiProbe|BrokenProbe"), std::u16string::npos);
  void* Object = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(GetClassObject(u"napiprobe", &Object), 0);
  EXPECT_EQ(Object, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(GetClassObject(u"BrokenProbe", &Object), 0);
  EXPECT_EQ(Object, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(DestroyObject(nullptr), 0);
  void* Null = nullptr;
  EXPECT_EQ(DestroyObject(&Null), 0);
}

TEST_F(ComponentObject, StartsAsThePlatformExpects) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_TRUE(C.InitAnswer());
  EXPECT_TRUE(C.SetMemManagerAnswer());
  EXPECT_EQ(C.Raw().GetInfo(), 2000);
  EXPECT_EQ(C.ExtensionName(), u"ProbeExt");
  EXPECT_EQ(UserObjectOf<TProbe>(C).locale, u"ru_RU");
}

TEST_F(ComponentObject, NamesByEitherNameAndAlias) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_EQ(C.FindMethod(u"Эхо"), C.FindMethod(u"Echo"));
  EXPECT_EQ(C.FindMethod(u"echo"), -1);
  const TV8Long Echo = C.FindMethod(u"Echo");
  EXPECT_EQ(C.MethodName(Echo, 0), u"Echo");
  EXPECT_EQ(C.MethodName(Echo, 1), u"Эхо");
  EXPECT_EQ(C.MethodName(Echo, -1), u"Эхо");
  EXPECT_EQ(C.PropName(C.FindProp(u"Семь"), 0), u"Seven");
  EXPECT_TRUE(C.HasRetVal(Echo));
  EXPECT_FALSE(C.HasRetVal(C.FindMethod(u"Proc")));
  EXPECT_EQ(C.ParamCount(Echo), 3);
}

TEST_F(ComponentObject, OutOfRangeIndexesAnswerNothingAndTouchNothing) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_EQ(C.MethodName(99, 0), std::nullopt);
  EXPECT_EQ(C.PropName(-1, 0), std::nullopt);
  EXPECT_EQ(C.ParamCount(99), 0);
  EXPECT_FALSE(C.HasRetVal(99));
  EXPECT_FALSE(C.IsPropReadable(99));
  EXPECT_FALSE(C.IsPropWritable(-5));
  EXPECT_FALSE(C.CallAsFunc(99).Ok);
  EXPECT_FALSE(C.CallAsFunc(-1).Ok);
  EXPECT_FALSE(C.GetPropVal(99).Ok);
  EXPECT_EQ(C.ParamDefValue(99, 0), std::nullopt);
}

TEST_F(ComponentObject, DefaultValuesByPosition) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  const auto Value = C.ParamDefValue(C.FindMethod(u"Echo"), 0);
  ASSERT_TRUE(Value.has_value());
  EXPECT_EQ(Value->Int, 9);
  EXPECT_EQ(C.ParamDefValue(C.FindMethod(u"Echo"), 1), std::nullopt);
  EXPECT_EQ(C.ParamDefValue(C.FindMethod(u"Fail"), 0), std::nullopt);
}

TEST_F(ComponentObject, CallsReadAndWriteOnlyThePassedRecords) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  TCallOptions Options;
  Options.Placement = TPlacement::plBeforeNoAccessPage;
  Options.GarbageInUnusedBytes = true;
  const auto R = C.CallAsFunc(u"Echo", {TValue::Text16(u"ab")}, Options);
  ASSERT_TRUE(R.Ok);
  EXPECT_EQ(R.Result.Text, u"ab/1");
  ASSERT_EQ(R.Params.size(), 1u);
  EXPECT_EQ(R.Params[0].Int, 100);
}

TEST_F(ComponentObject, ANegativeCountPassesNoParameter) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  TCallOptions Options;
  Options.Count = -1;
  const auto R = C.CallAsFunc(u"Echo", {TValue::Text16(u"ab")}, Options);
  ASSERT_TRUE(R.Ok);
  EXPECT_EQ(R.Result.Text, u"/0");
  ASSERT_EQ(R.Params.size(), 1u);
  EXPECT_EQ(R.Params[0].Text, u"ab");
}

TEST_F(ComponentObject, AFunctionCalledAsAProcedureLeavesNoBlockBehind) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_TRUE(C.CallAsProc(u"Echo", {TValue::Text16(u"x")}).Ok);
  EXPECT_TRUE(C.CallAsFunc(u"Proc").Ok);
  EXPECT_EQ(UserObjectOf<TProbe>(C).Runs, 2);
  C.Finish();
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

TEST_F(ComponentObject, FailuresBecomeHostErrors) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_FALSE(C.CallAsFunc(u"Fail").Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  const auto& E = Host.Services.Errors()[0];
  EXPECT_EQ(E.Code, 1006);
  EXPECT_EQ(E.Source, u"Внешняя компонента");
  EXPECT_EQ(E.Description, u"Сбой");
  EXPECT_EQ(static_cast<std::uint32_t>(E.SCode), 0x80004005u);
  EXPECT_FALSE(C.CallAsFunc(u"Crash").Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 2u);
  EXPECT_FALSE(Host.Services.Errors()[1].Description.empty());
  EXPECT_FALSE(C.SetPropVal(u"Seven", TValue::I4(1)));
  ASSERT_EQ(Host.Services.Errors().size(), 3u);
  EXPECT_EQ(Host.Services.Errors()[2].Description, u"Property is read-only: Seven");
  const auto Seven = C.GetPropVal(u"Семь");
  EXPECT_TRUE(Seven.Ok);
  EXPECT_EQ(Seven.Result.Int, 7);
}

TEST_F(ComponentObject, AnUnrenderableParameterStopsTheCallBeforeTheRoutine) {
  TComponent C(InProcessAddin(), Host, u"NapiProbe");
  EXPECT_FALSE(C.CallAsFunc(u"Echo", {TValue::Date(45000)}).Ok);
  EXPECT_EQ(UserObjectOf<TProbe>(C).Runs, 0);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Description, u"Unsupported data type - VTYPE_DATE");
}

TEST_F(ComponentObject, WithoutAMemoryManagerNamesAreNullAndReportsHaveNoText) {
  v8host::TStartOptions Options;
  Options.SetMemManager = false;
  TComponent C(InProcessAddin(), Host, u"NapiProbe", Options);
  EXPECT_EQ(C.MethodName(0, 0), std::nullopt);
  EXPECT_FALSE(C.CallAsFunc(u"Fail").Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Description, u"");
}
