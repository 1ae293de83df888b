// The host-value readers and the trace rendering on arbitrary records.
//
// The input is cut into up to eight records of the platform's size, each
// taken byte for byte (type word, padding and union alike). What the host
// guarantees is then restored: a text or blob record points at a buffer of
// the input's bytes that holds its length (wide and narrow texts with their
// terminator), a Boolean holds 0 or 1, an interface or nested-value record
// points at a real object. Every reader, V8ToStr and V8ParamsToStr then run
// on the records; the only failure allowed is the library's Exception. What
// the trace writes for a number or a Boolean must read back as that value.
// Last, a text of the input is written into a record the way results go to
// the host and read back: it must come back unchanged (up to a U+0000 in it,
// where the reader's text ends), with the host's block given back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "common/Text.h"
#include "napi/V8Trace.h"
#include "napi/V8UserObject.h"
#include "napi/V8Variant.h"
#include "v8host/Memory.h"

namespace {

constexpr std::uint32_t kMaxRecords = 8;
constexpr std::size_t kMaxText = 64;

// Buffers the records point into; they live as long as one run.
struct TPayloads {
  std::vector<std::u16string> Wide;
  std::vector<std::string> Narrow;
  V8Variant Nested{};
  unsigned char Interface[64]{};
};

void RestoreHostGuarantees(V8Variant& V, fuzz::TInput& In, TPayloads& P, std::uint8_t AShape) {
  const bool NullPointer = (AShape & 1) != 0;
  switch (V8TypeCode(V)) {
    case VTYPE_PWSTR: {
      std::u16string& Text = P.Wide.emplace_back(In.Text16(kMaxText));
      // The buffer keeps its terminator; the length field tells the units
      // before it (which may hold zero units of their own).
      V.VarEnum.vtRecWideString.pwstrVal = NullPointer ? nullptr : Text.data();
      V.VarEnum.vtRecWideString.wstrLen = NullPointer ? 0 : static_cast<std::uint32_t>(Text.size());
      break;
    }
    case VTYPE_PSTR:
    case VTYPE_BLOB:
    case VTYPE_STR_BLOB: {
      std::string& Bytes = P.Narrow.emplace_back(In.Bytes(kMaxText));
      V.VarEnum.vtRecString.pstrVal = NullPointer ? nullptr : Bytes.data();
      V.VarEnum.vtRecString.strLen = NullPointer ? 0 : static_cast<std::uint32_t>(Bytes.size());
      break;
    }
    case VTYPE_BOOL: {
      // A C++ bool of the host holds 0 or 1; the union's other bytes stay.
      unsigned char Byte = 0;
      std::memcpy(&Byte, &V.VarEnum, 1);
      Byte &= 1;
      std::memcpy(&V.VarEnum, &Byte, 1);
      break;
    }
    case VTYPE_TM: V.VarEnum.tmVal.tm_zone = nullptr; break;
    case VTYPE_INTERFACE: V.VarEnum.vtRecInterface.pInterfaceVal = NullPointer ? nullptr : P.Interface; break;
    case VTYPE_VARIANT: V.VarEnum.pvarVal = NullPointer ? nullptr : &P.Nested; break;
    default: break;
  }
}

template <typename TWork>
void Tolerate(TWork&& AWork) {
  try {
    AWork();
  } catch (const Exception&) {
    // Unsupported types and impossible dates are reported this way.
  }
}

void Fail(const char* AWhat, const std::u16string& AText) {
  std::fprintf(stderr, "%s: \"%s\"\n", AWhat, ToUtf8(AText).c_str());
  std::abort();
}

// The text the trace shows for a value reads back as that value: an
// integer through the readers' own conversion, a double (a normal one, or
// zero: the conversion takes no subnormal) likewise, a Boolean as its word.
void RequireReadsBack(const V8Variant& V) {
  TV8Value Value;
  try {
    Value = V8ToVariant(V);
  } catch (const Exception&) {
    return;
  }
  const std::u16string Text = V8ValueToStr(Value);
  if (const auto* Int = std::get_if<std::int32_t>(&Value)) {
    std::int32_t Back = 0;
    if (!V8TextToInt(Text, Back) || Back != *Int) Fail("an integer's text reads back as another value", Text);
  } else if (const auto* Long = std::get_if<std::int64_t>(&Value)) {
    if (Text != ToUtf16(std::to_string(*Long))) Fail("a 64-bit integer's text is not its decimal digits", Text);
  } else if (const auto* Real = std::get_if<double>(&Value)) {
    double Back = 0;
    if ((std::isnormal(*Real) || *Real == 0) && (!V8TextToDouble(Text, Back) || Back != *Real))
      Fail("a double's text reads back as another value", Text);
  } else if (const auto* Flag = std::get_if<bool>(&Value)) {
    if (Text != (*Flag ? u"true" : u"false")) Fail("a Boolean's text is not its word", Text);
  }
}

void ReadRecord(const V8Variant& V) {
  volatile std::int32_t Int = V8GetInt(&V);
  volatile double Real = V8GetDouble(&V);
  volatile bool Flag = V8GetBool(&V) || V8IsString(&V);
  (void)Int;
  (void)Real;
  (void)Flag;
  Tolerate([&] { (void)V8GetWString(&V); });
  Tolerate([&] { (void)V8TypeName(V.vt); });
  Tolerate([&] { (void)V8DateTimeToStr(V8GetDateTime(&V)); });
  Tolerate([&] { (void)V8ToStr(V); });
  RequireReadsBack(V);
}

void WriteAndReadBack(const std::u16string& AText) {
  v8host::TMemoryManager Memory;
  TV8UserObject Writer;
  Writer.V8MM = static_cast<TV8MemoryManager*>(Memory.Interface());
  V8Variant V{};
  if (!Writer.V8SetWString(&V, AText)) {
    std::fprintf(stderr, "V8SetWString failed on a host that grants every block\n");
    std::abort();
  }
  const std::u16string Expected = AText.substr(0, AText.find(u'\0'));
  if (V8GetWString(&V) != Expected || V.VarEnum.vtRecWideString.wstrLen != AText.size()) {
    std::fprintf(stderr, "a text of %zu units did not read back as written\n", AText.size());
    std::abort();
  }
  Writer.V8ClearVar(&V);
  if (Memory.LiveBlocks() != 0 || !Memory.Errors().empty()) {
    std::fprintf(stderr, "the text's host block was not given back cleanly\n");
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  fuzz::TInput In(AData, ASize);
  const std::uint8_t Header = In.Take<std::uint8_t>();
  const std::uint32_t Count = Header % (kMaxRecords + 1);
  // The host passes the number of records; a negative count reads as none.
  const std::int32_t PassedCount = (Header & 0x80) != 0 ? -static_cast<std::int32_t>(Header & 0x0F)
                                                        : static_cast<std::int32_t>(Count);

  TPayloads Payloads;
  Payloads.Wide.reserve(kMaxRecords);
  Payloads.Narrow.reserve(kMaxRecords);
  std::vector<V8Variant> Records(Count);
  for (V8Variant& V : Records) {
    const std::uint8_t Shape = In.Take<std::uint8_t>();
    V = In.Take<V8Variant>();
    RestoreHostGuarantees(V, In, Payloads, Shape);
  }

  for (const V8Variant& V : Records) ReadRecord(V);
  const TV8ParamArray Params(Records.data(), PassedCount);
  Tolerate([&] { (void)V8ParamsToStr(Params); });

  // The text conversions behind the readers, on the rest of the input.
  const std::u16string Text = In.Text16(256);
  std::int32_t Int = 0;
  double Real = 0;
  (void)V8TextToInt(Text, Int);
  (void)V8TextToDouble(Text, Real);
  WriteAndReadBack(Text);
  return 0;
}
