// The platform's memory manager refusing the 1st, 2nd, ... Nth allocation of
// a whole session, one refusal per fresh host (only the Nth, or the Nth and
// every later one): no crash, nothing leaked, every text the host did not
// get is a typed record with zero length, the call that lost its text says
// so, and the object works again once memory is granted.
//
// The sessions make only a few dozen allocations, so every N is run on every
// target (under Wine too, where each run builds the real tag window).
#include <gtest/gtest.h>

#include <optional>

#include "common/Text.h"
#include "rfid/uDriver.h"
#include "unit/InProcessHost.h"
#include "unit/faults/DemoSession.h"
#include "unit/faults/HostBlocks.h"
#include "unit/log/LogSandbox.h"

using FaultTest::TStepOutcome;
using v8host::TValue;

namespace {

constexpr char16_t kRefusedMessage[] = u"The platform refused memory for the result";

enum class TRefusal { rfNone, rfOnly, rfFrom };

struct TRule {
  TRefusal Kind = TRefusal::rfNone;
  std::size_t Nth = 0;

  // Whether the AOrdinal-th AllocMemory call of the session was refused.
  bool Refuses(std::size_t AOrdinal) const {
    return (Kind == TRefusal::rfOnly && AOrdinal == Nth) || (Kind == TRefusal::rfFrom && AOrdinal >= Nth);
  }
  bool Touches(const TStepOutcome& AStep) const {
    for (std::size_t I = 1; I <= AStep.Requests; ++I)
      if (Refuses(AStep.FirstRequest + I)) return true;
    return false;
  }
  std::string Name() const { return (Kind == TRefusal::rfOnly ? "only the " : "from the ") + std::to_string(Nth) + "th"; }
};

// The sessions write every method call with its parentheses; a bare name
// reads a property, "Name = value" writes one.
bool IsMethodCall(const std::string& ALine) { return !ALine.empty() && ALine.back() == ')'; }
bool IsPropertyRead(const std::string& ALine) {
  return !ALine.empty() && ALine[0] != ':' && !IsMethodCall(ALine) && ALine.find('=') == std::string::npos;
}

// What a driver call's last result was right after each step.
struct TLastResult {
  std::int32_t Code = 0;
  std::u16string Description;
};

struct TSessionRun {
  std::vector<TStepOutcome> Steps;
  std::vector<TLastResult> LastResults;
  std::optional<std::u16string> ExtensionName;
  bool RegisterAnswer = false;
  std::vector<v8host::TAddErrorRecord> Reports;
  std::size_t Requests = 0;
  // GetDescription once memory is granted again.
  v8host::TCallResult After;
};

class AllocationRefusal : public LogTest::TLogSandbox {
protected:
  // One session on a fresh host whose memory manager follows ARule from its
  // first allocation (the start sequence's) on.
  TSessionRun Run(const std::vector<std::string>& ALines, const TRule& ARule) {
    TSessionRun Result;
    v8host::THost Host;
    if (ARule.Kind == TRefusal::rfOnly) Host.Memory.RefuseOnly(ARule.Nth);
    if (ARule.Kind == TRefusal::rfFrom) Host.Memory.RefuseFrom(ARule.Nth);
    {
      v8host::TComponent C(InProcessAddin(), Host, kDriverExtension);
      Result.ExtensionName = C.ExtensionName();
      Result.RegisterAnswer = C.RegisterAnswer();
      TDriver& Driver = UserObjectOf<TDriver>(C);
      Result.Steps = FaultTest::RunSession(C, ALines, [&](const TStepOutcome&) {
        Result.LastResults.push_back({Driver.LastResult().GetIntResult(), Driver.LastResult().ErrorDescription});
      });
      Result.Requests = Host.Memory.Requests().size();
      Host.Memory.AcceptAll();
      Result.After = C.CallAsFunc(u"GetDescription", {TValue::Empty()});
      C.Finish();
    }
    Result.Reports = Host.Services.Errors();
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
    FaultTest::ReleaseReportedDescriptions(Host);
    EXPECT_EQ(Host.Memory.LiveBlocks(), 0u) << "blocks the add-in kept:\n" << FaultTest::LiveBlocksReport(Host);
    Common::Log::SetLogMode(Common::Log::lmOff);
    return Result;
  }

  void Sweep(const std::vector<std::string>& ALines) {
    const TSessionRun Baseline = Run(ALines, {});
    ASSERT_FALSE(HasFailure()) << "the session fails without any refusal";
    ASSERT_GT(Baseline.Requests, 0u);
    std::size_t Runs = 0;
    for (const TRefusal Kind : {TRefusal::rfOnly, TRefusal::rfFrom}) {
      for (std::size_t N = 1; N <= Baseline.Requests; ++N) {
        const TRule Rule{Kind, N};
        SCOPED_TRACE("refusing " + Rule.Name() + " allocation");
        Check(Baseline, Run(ALines, Rule), Rule);
        ++Runs;
        if (HasFatalFailure()) return;
      }
    }
    RecordProperty("allocations", static_cast<int>(Baseline.Requests));
    RecordProperty("runs", static_cast<int>(Runs));
  }

  static void Check(const TSessionRun& ABaseline, const TSessionRun& ARun, const TRule& ARule) {
    // The start sequence asks for one block: the extension's name.
    EXPECT_TRUE(ARun.RegisterAnswer);
    if (ARule.Refuses(1)) EXPECT_EQ(ARun.ExtensionName, std::nullopt);
    else EXPECT_EQ(ARun.ExtensionName, ABaseline.ExtensionName);

    ASSERT_EQ(ARun.Steps.size(), ABaseline.Steps.size());
    std::size_t FailedReads = 0;
    for (std::size_t I = 0; I < ARun.Steps.size(); ++I) {
      const TStepOutcome& Step = ARun.Steps[I];
      const TStepOutcome& Expected = ABaseline.Steps[I];
      SCOPED_TRACE(Step.Line);
      if (!ARule.Touches(Step)) {
        EXPECT_EQ(Step.Result.Ok, Expected.Result.Ok);
        EXPECT_EQ(Step.Result.Result, Expected.Result.Result);
        EXPECT_EQ(Step.Result.Params, Expected.Result.Params);
        EXPECT_EQ(Step.Names, Expected.Names);
        continue;
      }
      CheckRefusedStep(Step, Expected, ARun.LastResults[I]);
      if (IsPropertyRead(Step.Line)) ++FailedReads;
    }

    // The reports of the session, and one more for each property read that
    // lost its text. Every report is the bridge's; a description the
    // platform refused to hold arrives as null.
    EXPECT_EQ(ARun.Reports.size(), ABaseline.Reports.size() + FailedReads);
    for (const auto& Report : ARun.Reports) {
      EXPECT_EQ(Report.Code, 1006);
      EXPECT_EQ(Report.Source, u"Внешняя компонента");
      EXPECT_EQ(Report.SCode, static_cast<TV8Long>(static_cast<std::int32_t>(0x80004005u)));
    }

    // Usable again: with memory granted the description comes back whole.
    EXPECT_TRUE(ARun.After.Ok);
    EXPECT_EQ(ARun.After.Result, TValue::Boolean(true));
    EXPECT_EQ(ARun.After.Params, ABaseline.After.Params);
  }

  // A step during which an allocation was refused.
  static void CheckRefusedStep(const TStepOutcome& AStep, const TStepOutcome& AExpected, const TLastResult& ALast) {
    // A text the platform did not hold: the record keeps its type, with no
    // text and zero length.
    const auto LostOrSame = [](const TValue& AGot, const TValue& AWanted) {
      if (AGot == AWanted) return true;
      return AGot.Type == VTYPE_PWSTR && AGot.NullPointer && AGot.Length == 0;
    };
    if (!AExpected.Names.empty()) {
      ASSERT_EQ(AStep.Names.size(), AExpected.Names.size());
      for (std::size_t I = 0; I < AStep.Names.size(); ++I)
        EXPECT_TRUE(AStep.Names[I] == AExpected.Names[I] || AStep.Names[I] == std::nullopt) << I;
      EXPECT_NE(AStep.Names, AExpected.Names) << "a refused name is null";
      return;
    }
    ASSERT_TRUE(AStep.Called);
    const bool Method = IsMethodCall(AStep.Line);
    if (AStep.Line.rfind("GetLastError", 0) == 0) {
      // It cannot fail: the code stands, the description is lost.
      EXPECT_TRUE(AStep.Result.Ok);
      EXPECT_EQ(AStep.Result.Result, AExpected.Result.Result);
      ASSERT_EQ(AStep.Result.Params.size(), 1u);
      EXPECT_TRUE(LostOrSame(AStep.Result.Params[0], AExpected.Result.Params[0]));
      return;
    }
    if (!Method) {
      // A property: the bridge reports the failure and answers false.
      EXPECT_FALSE(AStep.Result.Ok);
      return;
    }
    // A framed method whose text was refused fails at the driver level: host
    // false, and the last error says why.
    EXPECT_TRUE(AStep.Result.Ok) << "the frame answers the call";
    EXPECT_EQ(AStep.Result.Result, TValue::Boolean(false));
    EXPECT_EQ(ALast.Code, 1001);
    EXPECT_EQ(ALast.Description, kRefusedMessage);
    ASSERT_EQ(AStep.Result.Params.size(), AExpected.Result.Params.size());
    for (std::size_t I = 0; I < AStep.Result.Params.size(); ++I) {
      const TValue& Got = AStep.Result.Params[I];
      // A device test that failed hands its message over in parameter 1.
      const bool Message = Got == TValue::Text16(kRefusedMessage);
      EXPECT_TRUE(Message || LostOrSame(Got, AExpected.Result.Params[I]) || Got == TValue::Empty())
          << "parameter " << I + 1 << ": " << Got;
    }
  }
};

TEST_F(AllocationRefusal, EveryAllocationOfTheDemonstrationSession) {
  Sweep(FaultTest::DemoSessionLines());
}

TEST_F(AllocationRefusal, EveryAllocationOfTheSessionWithReportsAndNames) {
  Sweep(FaultTest::ExtendedSessionLines());
}

}  // namespace

namespace {

// The refusals one at a time: the driver's texts, a property's text and the
// description of an error report.
TEST_F(AllocationRefusal, ARefusedTextFailsTheCallInsteadOfLookingEmpty) {
  v8host::THost Host;
  {
    v8host::TComponent C(InProcessAddin(), Host, kDriverExtension);
    Host.Memory.RefuseAll();
    const auto Tags = C.CallAsFunc(u"GetDataTagsRFID", {TValue::Empty(), TValue::Empty(), TValue::Empty()});
    EXPECT_TRUE(Tags.Ok);
    EXPECT_EQ(Tags.Result, TValue::Boolean(false)) << "no tags is not what the reader saw";
    EXPECT_EQ(Tags.Params.at(2).Type, VTYPE_PWSTR);
    EXPECT_TRUE(Tags.Params.at(2).NullPointer);
    EXPECT_EQ(Tags.Params.at(2).Length, 0u);

    // A text property: the bridge reports the failure, with no description
    // (that copy is refused too), and the read answers false.
    EXPECT_FALSE(C.GetPropVal(u"EPC1").Ok);
    ASSERT_EQ(Host.Services.Errors().size(), 1u);
    EXPECT_EQ(Host.Services.Errors()[0].Description, u"");

    Host.Memory.AcceptAll();
    const auto Error = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
    EXPECT_EQ(Error.Result, TValue::I4(1001));
    EXPECT_EQ(Error.Params.at(0), TValue::Text16(u"The platform refused memory for the result"));
    EXPECT_TRUE(C.GetPropVal(u"EPC1").Ok);
    const auto Again = C.CallAsFunc(u"GetDataTagsRFID", {TValue::Empty(), TValue::Empty(), TValue::Empty()});
    EXPECT_EQ(Again.Result, TValue::Boolean(true));
    EXPECT_EQ(Again.Params.at(2), TValue::Text16(u"<?xml version=\"1.0\"?>\r\n<Table/>\r\n"));
  }
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

}  // namespace
