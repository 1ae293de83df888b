// The harness's component driver against the in-process fake add-in: the
// platform's calling order, names freed, parameters built and collected.
#include <gtest/gtest.h>

#include "FakeAddin.h"
#include "v8host/Component.h"
#include "v8host/Error.h"

using namespace v8host;

namespace {

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Trace().Calls.clear(); }
  void TearDown() override {
    EXPECT_EQ(Host.Memory.LiveBlocks(), 0u) << "every block returned";
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
    EXPECT_EQ(fake::Trace().Objects, 0);
  }

  TAddinLibrary Library = TAddinLibrary::FromEntryPoints(fake::EntryPoints());
  THost Host;
};

}  // namespace

TEST_F(ComponentTest, FollowsThePlatformsCallingOrder) {
  {
    TComponent component(Library, Host, u"Fake");
    EXPECT_TRUE(component.InitAnswer());
    EXPECT_TRUE(component.SetMemManagerAnswer());
    EXPECT_TRUE(component.RegisterAnswer());
    EXPECT_EQ(component.ExtensionName(), u"Fake");
    EXPECT_EQ(component.Raw().GetInfo(), 2000);
  }
  EXPECT_EQ(fake::Trace().Calls, (std::vector<std::string>{"setMemManager", "Init", "SetLocale", "RegisterExtensionAs",
                                                          "Done", "DestroyObject"}));
}

TEST_F(ComponentTest, StartStepsCanBeLeftOut) {
  TStartOptions options;
  options.Init = false;
  options.Locale.reset();
  options.RegisterExtension = false;
  TComponent component(Library, Host, u"Fake", options);
  EXPECT_FALSE(component.ExtensionName());
  EXPECT_EQ(component.Finish(), 0);
  EXPECT_EQ(component.Finish(), 0) << "finishing twice does nothing";
  EXPECT_EQ(fake::Trace().Calls, (std::vector<std::string>{"setMemManager", "Done", "DestroyObject"}));
}

TEST_F(ComponentTest, ClassesAreListedAndUnknownOnesRefused) {
  EXPECT_EQ(Library.ClassNames(), (std::vector<std::u16string>{u"Fake", u"Spare"}));
  EXPECT_THROW(TComponent(Library, Host, u"Spare"), THostError);
  EXPECT_THROW(TComponent(Library, Host, u"fake"), THostError);
}

TEST_F(ComponentTest, ListsMethodsAndPropertiesWithBothNames) {
  TComponent component(Library, Host, u"Fake");
  const auto methods = component.Methods();
  ASSERT_EQ(methods.size(), 3u);
  EXPECT_EQ(methods[0].Name, u"Echo");
  EXPECT_EQ(methods[0].LocalName, u"Эхо");
  EXPECT_EQ(methods[0].ParamCount, 1);
  EXPECT_TRUE(methods[0].HasRetVal);
  EXPECT_FALSE(methods[2].HasRetVal);
  const auto props = component.Props();
  ASSERT_EQ(props.size(), 1u);
  EXPECT_EQ(props[0].LocalName, u"Значение");
  EXPECT_TRUE(props[0].Writable);
  EXPECT_EQ(component.FindMethod(u"Количество"), 2);
  EXPECT_EQ(component.FindMethod(u"Nothing"), -1);
  EXPECT_FALSE(component.MethodName(7, 0)) << "a null answer";
  EXPECT_THROW(component.MethodIndex(u"Nothing"), THostError);
  EXPECT_EQ(component.ParamDefValue(0, 0)->Int, 7);
  EXPECT_FALSE(component.ParamDefValue(1, 0));
}

TEST_F(ComponentTest, CallsBuildParametersAndCollectResultsAndOutTexts) {
  TComponent component(Library, Host, u"Fake");
  TCallResult echo = component.CallAsFunc(u"Эхо", {TValue::Text16(u"ping")});
  EXPECT_TRUE(echo.Ok);
  EXPECT_EQ(echo.Result.Text, u"ping");
  ASSERT_EQ(echo.Params.size(), 1u);
  EXPECT_EQ(echo.Params[0].Text, u"out") << "the parameter is a variable";

  echo = component.Call(u"Echo", {TValue::I4(5)});
  EXPECT_EQ(echo.Result.Type, VTYPE_I4);
  EXPECT_EQ(echo.Result.Int, 5);

  const TCallResult fail = component.Call(u"Fail");
  EXPECT_FALSE(fail.Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Description, u"failed on purpose");

  TCallOptions fewer;
  fewer.Count = 1;
  fewer.Placement = TPlacement::plBeforeNoAccessPage;
  fewer.GarbageInUnusedBytes = true;
  EXPECT_TRUE(component.CallAsProc(u"Count", {TValue::I4(1)}, fewer).Ok);
  ASSERT_EQ(Host.Services.Events().size(), 1u);
  EXPECT_EQ(Host.Services.Events()[0].Data, u"1");
}

TEST_F(ComponentTest, PropertiesByEitherName) {
  TComponent component(Library, Host, u"Fake");
  EXPECT_TRUE(component.SetPropVal(u"Значение", TValue::I4(12)));
  const TCallResult value = component.GetPropVal(u"Value");
  EXPECT_TRUE(value.Ok);
  EXPECT_EQ(value.Result.Int, 12);
  EXPECT_FALSE(component.SetPropVal(u"Value", TValue::Text16(u"x")));
  EXPECT_THROW(component.GetPropVal(u"Nothing"), THostError);
}

TEST_F(ComponentTest, RefusedAllocationsGiveNullNames) {
  TComponent component(Library, Host, u"Fake");
  Host.Memory.RefuseAll();
  EXPECT_FALSE(component.MethodName(0, 0));
  Host.Memory.AcceptAll();
}

TEST_F(ComponentTest, HarnessOwnedTextsShowAnAddinThatFreesThem) {
  TComponent component(Library, Host, u"Fake");
  TCallOptions options;
  options.Strings = TStringStorage::ssHarness;
  const TCallResult echo = component.CallAsFunc(u"Echo", {TValue::Text16(u"mine")}, options);
  EXPECT_EQ(echo.Result.Text, u"mine");
  // The fake gives the old text back with FreeMemory: not the manager's block.
  const auto errors = Host.Memory.Errors();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].Kind, TMemoryError::mkUnknownFree);
  Host.Memory.ClearErrors();
}
