// The tag table with many added tags in the field (100 to 10,000), as the
// platform fetches it with the log off; and the eight window tags' table
// and write with 10,000 added tags beside them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>

#include <stdexcept>
#include <string>

#include "common/Common.Log.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"
#include "rfid/uDriver.h"
#include "v8host/Component.h"

namespace {

const v8host::TAddinLibrary& Addin() {
  static const v8host::TAddinLibrary Library =
      v8host::TAddinLibrary::FromEntryPoints({&GetClassNames, &GetClassObject, &DestroyObject});
  return Library;
}

TDriver& DriverOf(v8host::TComponent& AComponent) {
  auto* Component = reinterpret_cast<TV8ComponentObject*>(AComponent.Raw().Address());
  return dynamic_cast<TDriver&>(*Component->UserObject[0]);
}

// ACount added tags of 24-digit TIDs and SGTIN-96 EPCs, as add --sgtin makes
// them, in commands of at most 4,000 tags, as the tool splits them.
void AddTags(TDriver& ADriver, long ACount) {
  for (long First = 1; First <= ACount; First += 4000) {
    std::string Line = "quorvel-tags/2 add";
    for (long I = First; I <= ACount && I < First + 4000; ++I) {
      char Tag[64];
      std::snprintf(Tag, sizeof(Tag), " E2801190%016lX:30351BD15C35BC%010lX", I, I);
      Line += Tag;
    }
    if (ADriver.RunFieldCommand(Line).find(" ok ") == std::string::npos) throw std::runtime_error("add refused");
  }
}

void GetDataTagsRFIDAddedTags(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  if (!Component.Call(u"Open", {v8host::TValue::Empty()}).Ok) throw std::runtime_error("Open failed");
  // The heap the field takes for its added tags (the command's own text
  // is freed again before the second reading).
  const std::size_t Before = mallinfo2().uordblks;
  AddTags(DriverOf(Component), AState.range(0));
  const std::size_t After = mallinfo2().uordblks;
  AState.counters["heap_bytes_per_tag"] =
      static_cast<double>(After > Before ? After - Before : 0) / static_cast<double>(AState.range(0));
  const v8host::TV8Long Index = Component.Raw().FindMethod(u"GetDataTagsRFID");
  v8host::TV8Variant Result{};
  v8host::TV8Variant Table{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, &Table, 1);
    benchmark::DoNotOptimize(Result);
    Host.Memory.Free(Table.wstr.pwstrVal);
    Table = {};
  }
  if (!Result.bVal) throw std::runtime_error("GetDataTagsRFID failed");
  AState.SetComplexityN(AState.range(0));
  Component.Call(u"Close", {v8host::TValue::Empty()});
}
BENCHMARK(GetDataTagsRFIDAddedTags)->Arg(100)->Arg(1000)->Arg(3000)->Arg(10000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

// A write into a window tag with 10,000 added tags in the field: the window
// tags are looked at first, so the added ones cost nothing.
void SaveDataTagRFIDWindowTagBesideTenThousand(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  if (!Component.Call(u"Open", {v8host::TValue::Empty()}).Ok) throw std::runtime_error("Open failed");
  AddTags(DriverOf(Component), AState.range(0));
  const std::u16string Texts[6] = {u"", u"E28011002000589616B408A1", u"3000AABBCCDD", u"0011", u"1", u""};
  v8host::TV8Variant Params[6]{};
  for (int I = 0; I < 6; ++I) {
    Params[I].vt = v8host::VTYPE_PWSTR;
    Params[I].wstr.pwstrVal = const_cast<char16_t*>(Texts[I].c_str());
    Params[I].wstr.wstrLen = static_cast<std::uint32_t>(Texts[I].size());
  }
  const v8host::TV8Long Index = Component.Raw().FindMethod(u"SaveDataTagRFID");
  v8host::TV8Variant Result{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, Params, 6);
    benchmark::DoNotOptimize(Result);
  }
  Component.Call(u"Close", {v8host::TValue::Empty()});
}
BENCHMARK(SaveDataTagRFIDWindowTagBesideTenThousand)->Arg(0)->Arg(10000);

// The control tool's add of 10,000 tags as the reader carries it out
// (three commands of the tool's size).
void AddTenThousandTags(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  TDriver& Driver = DriverOf(Component);
  for (auto _ : AState) {
    AddTags(Driver, 10000);
    AState.PauseTiming();
    Driver.RunFieldCommand("quorvel-tags/2 clear");
    AState.ResumeTiming();
  }
}
BENCHMARK(AddTenThousandTags)->Unit(benchmark::kMillisecond);

}  // namespace
