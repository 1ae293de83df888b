// Calls as the platform makes them: through the component object's tables,
// with the platform's records, the log switched off.
#include <benchmark/benchmark.h>

#include <stdexcept>

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

v8host::TV8Long MethodIndex(v8host::TComponent& AComponent, std::u16string_view AName) {
  const v8host::TV8Long Index = AComponent.Raw().FindMethod(std::u16string(AName).c_str());
  if (Index < 0) throw std::runtime_error("method not found");
  return Index;
}

// The smallest round trip: an integer result, no parameters, no host memory.
void CallAsFuncGetInterfaceRevision(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  const v8host::TV8Long Index = MethodIndex(Component, u"GetInterfaceRevision");
  v8host::TV8Variant Result{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, nullptr, 0);
    benchmark::DoNotOptimize(Result);
  }
}
BENCHMARK(CallAsFuncGetInterfaceRevision);

// The same call into the built library, loaded the way the platform loads
// it (its headless-window build, so no display is needed), through the
// host's tables: the call tools/callcount.sh counts the instructions of.
// The library's own log is off, as it starts.
void CallAsFuncGetInterfaceRevisionLoaded(benchmark::State& AState) {
  static const v8host::TAddinLibrary Library = v8host::TAddinLibrary::Load(QUORVEL_HEADLESS_ADDIN_PATH);
  v8host::THost Host;
  v8host::TComponent Component(Library, Host, u"quorvel");
  const v8host::TV8Long Index = MethodIndex(Component, u"GetInterfaceRevision");
  v8host::TV8Variant Result{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, nullptr, 0);
    benchmark::DoNotOptimize(Result);
  }
  if (Result.vt != v8host::VTYPE_I4 || Result.lVal != 3002) throw std::runtime_error("GetInterfaceRevision failed");
}
BENCHMARK(CallAsFuncGetInterfaceRevisionLoaded);

// Six texts, as the platform passes them to SaveDataTagRFID: each one
// checked by the trace, the four the method reads copied, the tag written.
// The device is open with the first tag's TID, so the write finds its tag.
void CallAsFuncSaveDataTagRFIDSixTexts(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  if (!Component.Call(u"Open", {v8host::TValue::Empty()}).Ok) throw std::runtime_error("Open failed");
  const std::u16string TID = DriverOf(Component).Barcodes()->GetBarcode(0);
  const std::u16string Texts[6] = {u"", TID, u"3000AABBCCDD", u"0011223344556677", u"1", u""};
  v8host::TV8Variant Params[6]{};
  for (int I = 0; I < 6; ++I) {
    Params[I].vt = v8host::VTYPE_PWSTR;
    Params[I].wstr.pwstrVal = const_cast<char16_t*>(Texts[I].c_str());
    Params[I].wstr.wstrLen = static_cast<std::uint32_t>(Texts[I].size());
  }
  const v8host::TV8Long Index = MethodIndex(Component, u"SaveDataTagRFID");
  v8host::TV8Variant Result{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, Params, 6);
    benchmark::DoNotOptimize(Result);
  }
  if (!Result.bVal) throw std::runtime_error("SaveDataTagRFID failed");
  Component.Call(u"Close", {v8host::TValue::Empty()});
}
BENCHMARK(CallAsFuncSaveDataTagRFIDSixTexts);

// The tag table with all eight tags in the field; the platform frees the
// document it receives, as it would.
void GetDataTagsRFIDEightTags(benchmark::State& AState) {
  Common::Log::SetLogMode(Common::Log::lmOff);
  v8host::THost Host;
  v8host::TComponent Component(Addin(), Host, u"quorvel");
  if (!Component.Call(u"Open", {v8host::TValue::Empty()}).Ok) throw std::runtime_error("Open failed");
  TfmBarcodes& Window = *DriverOf(Component).Barcodes();
  for (int Image = 1; Image <= TfmBarcodes::BarcodeCount; ++Image) Window.Image(Image).DblClick();
  if (DriverOf(Component).RFIDList().size() != TfmBarcodes::BarcodeCount) throw std::runtime_error("tags missing");

  const v8host::TV8Long Index = MethodIndex(Component, u"GetDataTagsRFID");
  v8host::TV8Variant Result{};
  v8host::TV8Variant Table{};
  for (auto _ : AState) {
    Component.Raw().CallAsFunc(Index, &Result, &Table, 1);
    benchmark::DoNotOptimize(Result);
    Host.Memory.Free(Table.wstr.pwstrVal);
    Table = {};
  }
  Component.Call(u"Close", {v8host::TValue::Empty()});
}
BENCHMARK(GetDataTagsRFIDEightTags);

}  // namespace
