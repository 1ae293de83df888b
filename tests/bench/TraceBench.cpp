// One traced call's bookkeeping with the log switched off: the parameters
// are rendered before and after the routine whatever the log admits.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Common.Log.h"
#include "napi/V8Trace.h"

static void TraceEnterLeaveLogOff(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  char16_t Text[] = u"E28011002000589616B408A1";
  V8Variant Params[2]{};
  Params[0].vt = VTYPE_I4;
  Params[0].VarEnum.lVal = 5;
  Params[1].vt = VTYPE_PWSTR;
  Params[1].VarEnum.vtRecWideString.pwstrVal = Text;
  Params[1].VarEnum.vtRecWideString.wstrLen = 24;
  V8Variant Result{};
  Result.vt = VTYPE_BOOL;
  Result.VarEnum.bVal = true;
  const TV8ParamArray Array(Params, 2);
  const std::u16string Name = u"GetDataTagsRFID";
  for (auto _ : AState) {
    V8TraceEnter(Name, Array);
    V8TraceLeave(Name, Array, &Result);
  }
}
BENCHMARK(TraceEnterLeaveLogOff);
