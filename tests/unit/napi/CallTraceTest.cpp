// The trace lines every method call writes, and the report of a failure,
// as they land in the log file.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/Text.h"
#include "napi/ClassRegistry.h"
#include "unit/InProcessHost.h"
#include "unit/log/LogSandbox.h"

using v8host::TComponent;
using v8host::TValue;

namespace {

bool Answer(TV8UserObject& ASelf, PV8Variant RetValue, PV8ParamArray Params, std::int32_t, TV8AddInDefBaseEx*&) {
  ASelf.V8SetInt(RetValue, 41);
  ASelf.V8SetWString(Params[0], u"changed");
  return true;
}

bool Quiet(TV8UserObject&, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*&) { return true; }

bool Broken(TV8UserObject&, PV8Variant, PV8ParamArray, std::int32_t, TV8AddInDefBaseEx*&) {
  throw Exception(std::u16string(u"  Отказ  "));
}

const bool Registered = [] {
  TClassReg& Reg =
      ClassRegList().RegisterClass([] { return std::make_unique<TV8UserObject>(); }, u"Traced", u"TracedProbe");
  Reg.AddFunc(u"Answer", u"Ответ", &Answer, 2);
  Reg.AddProc(u"Quiet", u"Тихо", &Quiet, 0);
  Reg.AddFunc(u"Broken", u"Сломано", &Broken, 0);
  return true;
}();

class CallTrace : public LogTest::TLogSandbox {
protected:
  void SetUp() override {
    TLogSandbox::SetUp();
    Common::Log::SetLogMode(Common::Log::lmAll);
  }
  // The log's lines without their timestamps, from the level word on.
  std::vector<std::string> Entries() {
    std::vector<std::string> Result;
    for (const std::string& Line : LogTest::ReadLines(TodaysFile())) {
      const auto Tab = Line.find('\t');
      if (Tab != std::string::npos && Line.size() > 4 && Line[4] == '.') Result.push_back(Line.substr(Tab + 1));
    }
    return Result;
  }

  v8host::THost Host;
};

}  // namespace

TEST_F(CallTrace, AFunctionCallIsTracedBeforeAndAfter) {
  TComponent C(InProcessAddin(), Host, u"TracedProbe");
  ASSERT_TRUE(C.CallAsFunc(u"Ответ", {TValue::I4(5), TValue::Text16(u"текст")}).Ok);
  ASSERT_TRUE(C.CallAsFunc(u"Answer").Ok);
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "DEBUG\t> Answer: \tParams: [5; текст]",
                           "DEBUG\t< Answer: \tResult=41; Params: [changed; текст]",
                           "DEBUG\t> Answer: \tParams: []",
                           "DEBUG\t< Answer: \tResult=41; Params: []",
                       }));
}

TEST_F(CallTrace, AProcedureCallHasNoResultPart) {
  TComponent C(InProcessAddin(), Host, u"TracedProbe");
  ASSERT_TRUE(C.CallAsProc(u"Quiet", {TValue::Blob("\x01\x02"), TValue::Boolean(true), TValue::R8(0.5)}).Ok);
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "DEBUG\t> Quiet: \tParams: [BLOB; true; 0.5]",
                           "DEBUG\t< Quiet: \t; Params: [BLOB; true; 0.5]",
                       }));
}

TEST_F(CallTrace, AFailureIsReportedToTheHostAndLogged) {
  TComponent C(InProcessAddin(), Host, u"TracedProbe");
  EXPECT_FALSE(C.CallAsFunc(u"Broken").Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Description, u"  Отказ  ");
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "DEBUG\t> Broken: \tParams: []",
                           "ERROR\tEXCEPTION: \tОтказ",
                       }));
}

TEST_F(CallTrace, AnUnrenderableParameterFailsEvenWithTheLogOff) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  TComponent C(InProcessAddin(), Host, u"TracedProbe");
  EXPECT_FALSE(C.CallAsFunc(u"Answer", {TValue::Date(1.0)}).Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Description, u"Unsupported data type - VTYPE_DATE");
  // Every parameter is checked, not only the first: here a time with no
  // month 13 after a text that renders.
  EXPECT_FALSE(C.CallAsFunc(u"Answer", {TValue::Text16(u"x"), TValue::Tm({2026, 13, 1})}).Ok);
  ASSERT_EQ(Host.Services.Errors().size(), 2u);
  EXPECT_EQ(Host.Services.Errors()[1].Description, u"Invalid argument to date encode");
  EXPECT_FALSE(std::filesystem::exists(TodaysFile()));
}
