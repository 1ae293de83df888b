// SetParameter and property writes with arbitrary names and values on the
// driver object, through the host harness, as the platform drives it.
//
// Each input is one session: a fresh host and driver object, then up to 24
// operations cut from the bytes - SetParameter(name, value), SetPropVal and
// GetPropVal by index or by name, a tag put into the reader's field, a call
// of any standard or reader method with arbitrary values (the additional
// actions, which open modal windows, excepted), and the host's memory
// manager refusing an allocation. The names are the driver's own (in any
// letter case, English or Russian) or arbitrary text; the values have any
// type word, flags included. Whatever the driver answers, the host's memory
// must see no double or foreign free, and the log is switched off again.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/Common.Log.h"
#include "common/Text.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"
#include "rfid/uDriver.h"
#include "v8host/Component.h"

using v8host::TComponent;
using v8host::TValue;

namespace {

constexpr int kMaxOperations = 24;
constexpr std::size_t kMaxText = 48;

const v8host::TAddinLibrary& Addin() {
  static const v8host::TAddinLibrary Library =
      v8host::TAddinLibrary::FromEntryPoints({&GetClassNames, &GetClassObject, &DestroyObject});
  return Library;
}

// Names worth more than random text: the properties in both languages, a
// different letter case and near misses.
const std::u16string kNames[] = {
    u"Transparency", u"Прозрачность", u"transparency", u"ПРОЗРАЧНОСТЬ", u"EPC1", u"epc5", u"EPC8", u"EPC9",
    u"USER1", u"user4", u"USER8", u"USER0", u"LogEnabled", u"ЛогВключен", u"logenabled", u"", u"EPC",
    u"Transparency ", u"EPC1\0x"};

// The driver object behind the harness's component.
TDriver& DriverOf(TComponent& AComponent) {
  auto* Component = reinterpret_cast<TV8ComponentObject*>(AComponent.Raw().Address());
  return dynamic_cast<TDriver&>(*Component->UserObject[0]);
}

std::u16string Name(fuzz::TInput& In) {
  const std::uint8_t Choice = In.Take<std::uint8_t>();
  if (Choice < 200) return kNames[Choice % std::size(kNames)];
  return In.Text16(kMaxText);
}

TValue Value(fuzz::TInput& In) {
  static const std::uint16_t kTypes[] = {VTYPE_EMPTY, VTYPE_NULL, VTYPE_I2, VTYPE_I4, VTYPE_R4,  VTYPE_R8,
                                         VTYPE_DATE,  VTYPE_TM,   VTYPE_PSTR, VTYPE_BOOL, VTYPE_I1, VTYPE_UI1,
                                         VTYPE_UI4,   VTYPE_I8,   VTYPE_UI8, VTYPE_PWSTR, VTYPE_BLOB, VTYPE_ERROR};
  TValue V;
  const std::uint8_t Choice = In.Take<std::uint8_t>();
  const std::uint16_t Flags = In.Take<std::uint8_t>() < 16 ? In.Take<std::uint16_t>() & 0x7000 : 0;
  V.Type = Choice < 240 ? static_cast<std::uint16_t>(kTypes[Choice % std::size(kTypes)] | Flags)
                        : In.Take<std::uint16_t>();
  switch (V.Code()) {
    case VTYPE_PWSTR:
      V.NullPointer = In.Take<std::uint8_t>() == 0xFF;
      V.Text = In.Text16(kMaxText);
      break;
    case VTYPE_PSTR:
    case VTYPE_BLOB:
      V.NullPointer = In.Take<std::uint8_t>() == 0xFF;
      V.Bytes = std::string(In.Bytes(kMaxText));
      break;
    case VTYPE_BOOL: V.Bool = (In.Take<std::uint8_t>() & 1) != 0; break;
    case VTYPE_R4:
    case VTYPE_R8:
    case VTYPE_DATE: V.Real = In.Take<double>(); break;
    case VTYPE_TM:
      V.DateTime = {In.Take<std::int16_t>(), In.Take<std::int8_t>(), In.Take<std::int8_t>(),
                    In.Take<std::int8_t>(), In.Take<std::int8_t>(), In.Take<std::int8_t>()};
      break;
    default: V.Int = In.Take<std::int64_t>(); break;
  }
  return V;
}

std::vector<TValue> Values(fuzz::TInput& In, std::size_t ACount) {
  std::vector<TValue> List;
  for (std::size_t I = 0; I < ACount; ++I) List.push_back(Value(In));
  return List;
}

void Session(fuzz::TInput& In) {
  v8host::THost Host;
  {
    TComponent C(Addin(), Host, kDriverExtension);
    const auto Props = C.PropCount();
    const auto Methods = C.Methods();
    for (int Op = 0; Op < kMaxOperations && In.Remaining() > 0; ++Op) {
      switch (In.Take<std::uint8_t>() % 8) {
        case 0:
        case 1: C.Call(u"SetParameter", {TValue::Text16(Name(In)), Value(In)}); break;
        case 2: {
          // An index past the end (or negative) must be refused, not followed.
          const auto Index = static_cast<TV8Long>(In.Below(static_cast<std::uint32_t>(Props) + 3)) - 1;
          const TValue V = Value(In);
          C.SetPropVal(Index, V);
          C.GetPropVal(Index);
          break;
        }
        case 3: {
          // The add-in's own lookup; an unknown name's -1 goes through too.
          const TV8Long Index = C.FindProp(Name(In));
          C.SetPropVal(Index, Value(In));
          C.GetPropVal(Index);
          break;
        }
        case 4: DriverOf(C).DataEvent(static_cast<std::intptr_t>(In.Below(kTagCount))); break;
        case 5: {
          const auto& Method = Methods[In.Below(static_cast<std::uint32_t>(Methods.size()))];
          if (Method.Name == u"DoAdditionalAction") break;
          C.Call(Method.Name, Values(In, static_cast<std::size_t>(Method.ParamCount)));
          break;
        }
        case 6: C.Call(u"GetDataTagsRFID", {TValue::Empty(), TValue::Text16(In.Text16(8)), TValue::Empty()}); break;
        case 7: Host.Memory.RefuseOnly(In.Below(4) + 1); break;
      }
    }
    Host.Memory.AcceptAll();
  }
  Common::Log::SetLogMode(Common::Log::lmOff);
  if (!Host.Memory.Errors().empty()) {
    std::fprintf(stderr, "host memory errors:\n%s\n", Host.Memory.ErrorReport().c_str());
    std::abort();
  }
  // Every block handed over was given back once the object is gone, but for
  // the descriptions of the error reports, which the platform keeps.
  const std::size_t Reports = Host.Services.Errors().size();
  for (const void* Block : Host.Memory.LiveBlockList()) {
    const std::size_t Units = *Host.Memory.BlockSize(Block) / sizeof(char16_t);
    std::u16string Text(Units, u'\0');
    std::memcpy(Text.data(), Block, Units * sizeof(char16_t));
    Text.resize(Text.find(u'\0') == std::u16string::npos ? Units : Text.find(u'\0'));
    bool Reported = false;
    for (const auto& Error : Host.Services.Errors()) Reported = Reported || Error.Description == Text;
    if (!Reported || Host.Memory.LiveBlocks() > Reports) {
      std::fprintf(stderr, "%zu host blocks left alive after the session, one not an error report's: \"%s\"\n",
                   Host.Memory.LiveBlocks(), ToUtf8(Text).c_str());
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  fuzz::TInput In(AData, ASize);
  Session(In);
  return 0;
}
