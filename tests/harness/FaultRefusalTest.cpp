// The built add-in (the library file the platform loads) with its memory
// manager refusing each allocation of the demonstration session in turn,
// only the Nth or the Nth and every later one. The tags are not presented
// here (that needs the tag window's own objects; the in-process sweep of
// the unit tests does it), so the tag tables are empty but still texts.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "../unit/faults/DemoSessionLines.h"
#include "AddinFixture.h"
#include "v8host/Script.h"
#include "v8host/Text.h"

using namespace v8host;

namespace {

constexpr char16_t kRefusedMessage[] = u"The platform refused memory for the result";

struct TStep {
  TCallResult Result;
  TCallResult LastError;         // asked right after a call that lost a text
  std::size_t FirstRequest = 0;  // AllocMemory calls before the step
  std::size_t Requests = 0;
};

struct TRun {
  std::vector<TStep> Steps;
  std::size_t Requests = 0;
  std::optional<std::u16string> ExtensionName;
  TCallResult LastError;   // once memory is granted again
  TCallResult Description;
};

class FaultRefusal : public harness::AddinObjectTest {
protected:
  // The session on a fresh host; ARefuse sets its rule before the object
  // is created.
  TRun Run(const std::function<void(TMemoryManager&)>& ARefuse) {
    TRun Result;
    THost Host;
    if (ARefuse) ARefuse(Host.Memory);
    {
      TComponent C(harness::Addin(), Host, ClassName);
      Result.ExtensionName = C.ExtensionName();
      std::size_t Refused = Host.Memory.Refused();
      for (const std::string& Text : FaultTest::DemoSessionLines()) {
        const TCallLine Line = ParseCallLine(Text);
        if (Line.Kind != TCallLine::ckCall) continue;  // ":present N"
        TStep Step;
        Step.FirstRequest = Host.Memory.Requests().size();
        const TV8Long Method = C.MethodIndex(Line.Name);
        std::vector<TValue> Args = Line.Args;
        Args.resize(static_cast<std::size_t>(C.ParamCount(Method)));
        Step.Result = C.CallAsFunc(Method, Args);
        Step.Requests = Host.Memory.Requests().size() - Step.FirstRequest;
        if (Host.Memory.Refused() != Refused) Step.LastError = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
        Refused = Host.Memory.Refused();
        Result.Steps.push_back(std::move(Step));
      }
      Result.Requests = Host.Memory.Requests().size();
      Host.Memory.AcceptAll();
      Result.LastError = C.CallAsFunc(u"GetLastError", {TValue::Empty()});
      Result.Description = C.CallAsFunc(u"GetDescription", {TValue::Empty()});
      C.SetPropVal(u"LogEnabled", TValue::Boolean(false));
    }
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
    EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
    EXPECT_TRUE(Host.Services.Errors().empty()) << "nothing in this session is reported to the host";
    return Result;
  }
};

TEST_F(FaultRefusal, EveryAllocationOfTheDemonstrationSession) {
  const TRun Baseline = Run({});
  ASSERT_GT(Baseline.Requests, 0u);
  for (const bool From : {false, true}) {
    for (std::size_t N = 1; N <= Baseline.Requests; ++N) {
      SCOPED_TRACE((From ? "refusing from the " : "refusing only the ") + std::to_string(N) + "th allocation");
      const auto Refused = [&](std::size_t AOrdinal) { return From ? AOrdinal >= N : AOrdinal == N; };
      const TRun Got = Run([&](TMemoryManager& AMemory) { From ? AMemory.RefuseFrom(N) : AMemory.RefuseOnly(N); });
      EXPECT_EQ(Got.ExtensionName.has_value(), !Refused(1));
      ASSERT_EQ(Got.Steps.size(), Baseline.Steps.size());
      bool AnyFailed = false;
      for (std::size_t I = 0; I < Got.Steps.size(); ++I) {
        const TStep& Step = Got.Steps[I];
        const TStep& Expected = Baseline.Steps[I];
        SCOPED_TRACE("call " + std::to_string(I + 1));
        EXPECT_TRUE(Step.Result.Ok);
        bool Touched = false;
        for (std::size_t R = 1; R <= Step.Requests; ++R) Touched = Touched || Refused(Step.FirstRequest + R);
        if (!Touched) {
          EXPECT_EQ(Step.Result.Result, Expected.Result.Result);
          EXPECT_EQ(Step.Result.Params, Expected.Result.Params);
          continue;
        }
        // The one text of the call is lost: a typed record without text,
        // and the call says it failed.
        AnyFailed = true;
        EXPECT_EQ(Step.Result.Result, TValue::Boolean(false));
        int Lost = 0;
        for (const TValue& Param : Step.Result.Params)
          if (Param.Type == VTYPE_PWSTR && Param.NullPointer && Param.Length == 0) ++Lost;
        EXPECT_EQ(Lost, 1);
        // The last error says why (its own text may be refused as well).
        EXPECT_EQ(Step.LastError.Result, TValue::I4(1001));
        const TValue& Why = Step.LastError.Params.at(0);
        EXPECT_TRUE(Why == TValue::Text16(kRefusedMessage) || (Why.NullPointer && From)) << Why;
      }
      // Usable again: the session's last call (Close) succeeded, and the
      // description comes back whole.
      EXPECT_TRUE(Got.LastError.Ok);
      EXPECT_EQ(Got.LastError.Result, TValue::I4(0));
      EXPECT_EQ(Got.Description.Result, TValue::Boolean(true));
      EXPECT_EQ(Got.Description.Params, Baseline.Description.Params);
      EXPECT_TRUE(AnyFailed || Refused(1)) << "the refusal hit no call and not the start either";
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
