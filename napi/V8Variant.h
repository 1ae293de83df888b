#pragma once
// The platform's value record and the plain functions that read and render
// it. Writers that need the host's memory manager live on TV8UserObject.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "platform/NativeAbi.h"

// The platform's `long`: 32 bits on Windows, 64 bits on Linux x86_64.
using TV8Long = long;

enum : std::uint16_t {
  VTYPE_EMPTY = 0, VTYPE_NULL, VTYPE_I2, VTYPE_I4, VTYPE_R4, VTYPE_R8, VTYPE_DATE, VTYPE_TM,
  VTYPE_PSTR, VTYPE_INTERFACE, VTYPE_ERROR, VTYPE_BOOL, VTYPE_VARIANT, VTYPE_I1, VTYPE_UI1,
  VTYPE_UI2, VTYPE_UI4, VTYPE_I8, VTYPE_UI8, VTYPE_INT, VTYPE_UINT, VTYPE_HRESULT, VTYPE_PWSTR,
  VTYPE_BLOB, VTYPE_CLSID, VTYPE_STR_BLOB = 0xFFF,
  VTYPE_VECTOR = 0x1000, VTYPE_ARRAY = 0x2000, VTYPE_BYREF = 0x4000,
  VTYPE_TYPEMASK = 0xFFF,
};

struct TV8Guid {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

struct TV8InterfaceVarRec {
  void* pInterfaceVal;
  TV8Guid InterfaceID;
};

struct TV8StringVarRec {
  char* pstrVal;
  std::uint32_t strLen;
};

struct TV8WideStringVarRec {
  char16_t* pwstrVal;
  std::uint32_t wstrLen;
};

struct V8Variant;

union TVarEnum {
  std::int8_t i8Val;
  std::int16_t shortVal;
  std::int32_t lVal;
  std::int32_t intVal;
  std::uint32_t uintVal;
  std::uint32_t ulVal;
  std::uint32_t hRes;
  std::int32_t errCode;
  std::int64_t llVal;
  std::uint64_t ullVal;
  std::uint8_t ui8Val;
  std::uint16_t ushortVal;
  float fltVal;
  double dblVal;
  // One byte, any non-zero value true: the host's bytes are not C++ bools.
  std::uint8_t bVal;
  char chVal;
  char16_t wchVal;
  double date;
  TV8Guid IDVal;
  V8Variant* pvarVal;
  TV8SystemTm tmVal;
  TV8InterfaceVarRec vtRecInterface;
  TV8StringVarRec vtRecString;
  TV8WideStringVarRec vtRecWideString;
};

// One value as the platform hands it over. The type word is 16 bits wide;
// the two bytes after it are padding the host may leave uninitialised.
struct V8Variant {
  TVarEnum VarEnum;
  std::uint32_t cbElements;
  std::uint16_t vt;
  std::uint16_t vtPadding;
};
using PV8Variant = V8Variant*;

static_assert(sizeof(V8Variant) == platform::kVariantSize, "the platform's value record has its own size");
static_assert(offsetof(V8Variant, cbElements) == platform::kVariantElementsOffset &&
              offsetof(V8Variant, vt) == platform::kVariantTypeOffset);

// The type code of a record (flag bits removed).
inline std::uint16_t V8TypeCode(const V8Variant& V) noexcept { return V.vt & VTYPE_TYPEMASK; }

// The host's parameter array, bounded by the count the host passed. A
// position at or past the count is not there: At() gives null, and every
// reader and writer treats a null record as absent.
class TV8ParamArray {
public:
  TV8ParamArray(V8Variant* AItems, std::int32_t ACount) noexcept
      : FItems(AItems), FCount(AItems == nullptr || ACount < 0 ? 0 : ACount) {}
  PV8Variant At(std::int32_t AIndex) const noexcept {
    return AIndex >= 0 && AIndex < FCount ? FItems + AIndex : nullptr;
  }
  PV8Variant operator[](std::int32_t AIndex) const noexcept { return At(AIndex); }
  std::int32_t Count() const noexcept { return FCount; }

private:
  V8Variant* FItems;
  std::int32_t FCount;
};
using PV8ParamArray = const TV8ParamArray&;

// A date-time as the platform's double: days since 1899-12-30, the
// fraction being the time of day.
struct TDateTime {
  double Value = 0;
  friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

// Readers: never fail; a value of another type reads as empty, 0 or false.
std::u16string V8GetWString(const V8Variant* V);
bool V8IsString(const V8Variant* V) noexcept;
std::int32_t V8GetInt(const V8Variant* V) noexcept;
double V8GetDouble(const V8Variant* V) noexcept;
bool V8GetBool(const V8Variant* V) noexcept;
TDateTime V8GetDateTime(const V8Variant* V);
// Raises Exception for an impossible date or time.
TDateTime V8TmToDateTime(const TV8SystemTm& ATm);

// Rendering for the call trace.
std::string V8TypeName(std::uint16_t AVt);
using TV8Value = std::variant<std::monostate, std::int32_t, double, TDateTime, bool, std::int64_t, std::u16string>;
// Raises "Unsupported data type - %s" for a value it cannot render.
TV8Value V8ToVariant(const V8Variant& V);
std::u16string V8ValueToStr(const TV8Value& AValue);
std::u16string V8ToStr(const V8Variant& V);

// Text conversions the readers use (exposed for tests). A text that does not
// convert answers false, and the readers then give 0. V8TextToInt takes an
// optional sign, then decimal digits or hexadecimal ones after "$", "0x" or
// "0X" ("-$1F" is -31), and nothing else: no blanks, fraction or exponent;
// a value outside the 32-bit range does not convert (it never wraps around).
// V8TextToDouble takes an optional sign, digits with "." or "," as decimal
// separator and an optional exponent ("-1,5e3"); "inf", "nan", hexadecimal
// and anything beyond the range of a double do not convert.
bool V8TextToInt(std::u16string_view AText, std::int32_t& AValue) noexcept;
bool V8TextToDouble(std::u16string_view AText, double& AValue) noexcept;
std::u16string V8DateTimeToStr(TDateTime AValue);
