#include "v8host/Value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "v8host/Error.h"
#include "v8host/Memory.h"
#include "v8host/Text.h"

namespace v8host {

TValue TValue::Null() {
  TValue v;
  v.Type = VTYPE_NULL;
  return v;
}

TValue TValue::I4(std::int32_t AValue) {
  TValue v;
  v.Type = VTYPE_I4;
  v.Int = AValue;
  return v;
}

TValue TValue::I8(std::int64_t AValue) {
  TValue v;
  v.Type = VTYPE_I8;
  v.Int = AValue;
  return v;
}

TValue TValue::R8(double AValue) {
  TValue v;
  v.Type = VTYPE_R8;
  v.Real = AValue;
  return v;
}

TValue TValue::Boolean(bool AValue) {
  TValue v;
  v.Type = VTYPE_BOOL;
  v.Bool = AValue;
  return v;
}

TValue TValue::Date(double ADays) {
  TValue v;
  v.Type = VTYPE_DATE;
  v.Real = ADays;
  return v;
}

TValue TValue::Tm(const TDateTime& AValue) {
  TValue v;
  v.Type = VTYPE_TM;
  v.DateTime = AValue;
  return v;
}

TValue TValue::Text16(std::u16string_view AValue) {
  TValue v;
  v.Type = VTYPE_PWSTR;
  v.Text = AValue;
  v.Length = static_cast<std::uint32_t>(AValue.size());
  return v;
}

TValue TValue::Text8(std::string_view AUtf8) { return Text16(ToUtf16(AUtf8)); }

TValue TValue::PStr(std::string_view AValue) {
  TValue v;
  v.Type = VTYPE_PSTR;
  v.Bytes = AValue;
  v.Length = static_cast<std::uint32_t>(AValue.size());
  return v;
}

TValue TValue::Blob(std::string_view ABytes) {
  TValue v;
  v.Type = VTYPE_BLOB;
  v.Bytes = ABytes;
  v.Length = static_cast<std::uint32_t>(ABytes.size());
  return v;
}

std::string TValue::Utf8() const { return ToUtf8(Text); }

namespace {

const char* const kTypeNames[] = {"EMPTY", "NULL", "I2",   "I4",  "R4",   "R8",      "DATE",  "TM",   "PSTR",
                                  "INTERFACE", "ERROR", "BOOL", "VARIANT", "I1", "UI1", "UI2",   "UI4",  "I8",
                                  "UI8",   "INT",  "UINT", "HRESULT", "PWSTR", "BLOB", "CLSID"};

std::string Quoted(std::string_view AText) {
  std::string out = "\"";
  for (const char c : AText) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string Number(double AValue) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", AValue);
  // The shortest text that reads back as the same double.
  for (int precision = 1; precision <= 17; ++precision) {
    char shorter[64];
    std::snprintf(shorter, sizeof shorter, "%.*g", precision, AValue);
    if (std::strtod(shorter, nullptr) == AValue) return shorter;
  }
  return buffer;
}

std::string DateText(const TDateTime& AValue) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", AValue.Year, AValue.Month, AValue.Day,
                AValue.Hour, AValue.Minute, AValue.Second);
  return buffer;
}

std::string Hex(std::string_view ABytes) {
  std::string out;
  char buffer[4];
  for (std::size_t i = 0; i < ABytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", static_cast<unsigned char>(ABytes[i]));
    if (i) out += ' ';
    out += buffer;
  }
  return out;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t AYear, unsigned AMonth, unsigned ADay) {
  AYear -= AMonth <= 2;
  const std::int64_t era = (AYear >= 0 ? AYear : AYear - 399) / 400;
  const auto yoe = static_cast<unsigned>(AYear - era * 400);
  const unsigned doy = (153 * (AMonth + (AMonth > 2 ? -3 : 9)) + 2) / 5 + ADay - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t ADays, int& AYear, int& AMonth, int& ADay) {
  ADays += 719468;
  const std::int64_t era = (ADays >= 0 ? ADays : ADays - 146096) / 146097;
  const auto doe = static_cast<unsigned>(ADays - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  ADay = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  AMonth = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  AYear = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (AMonth <= 2));
}

constexpr std::int64_t kOleEpochFromUnix = -25569;  // 1899-12-30 in days from 1970-01-01

void WriteTm(TV8Tm& ATm, const TDateTime& AValue) {
  ATm.tm_sec = AValue.Second;
  ATm.tm_min = AValue.Minute;
  ATm.tm_hour = AValue.Hour;
  ATm.tm_mday = AValue.Day;
  ATm.tm_mon = AValue.Month - 1;
  ATm.tm_year = AValue.Year - 1900;
  const std::int64_t days = DaysFromCivil(AValue.Year, static_cast<unsigned>(AValue.Month),
                                          static_cast<unsigned>(AValue.Day));
  ATm.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  ATm.tm_yday = static_cast<int>(days - DaysFromCivil(AValue.Year, 1, 1));
  ATm.tm_isdst = 0;
}

TDateTime ReadTm(const TV8Tm& ATm) {
  return {ATm.tm_year + 1900, ATm.tm_mon + 1, ATm.tm_mday, ATm.tm_hour, ATm.tm_min, ATm.tm_sec};
}

// How many bytes of a payload may be read: the stated length, cut to the
// block when the memory manager knows it.
std::size_t Readable(const void* ABlock, std::size_t ABytes, const TMemoryManager* AMemory) {
  if (AMemory == nullptr) return ABytes;
  const auto size = AMemory->BlockSize(ABlock);
  return size ? std::min(ABytes, *size) : ABytes;
}

void* Payload(const TPayloadAllocator& AAllocate, std::size_t ABytes) {
  void* block = AAllocate(ABytes);
  if (block == nullptr) throw THostError("no memory for a value's payload");
  return block;
}

}  // namespace

std::string TypeName(std::uint16_t AType) {
  const std::uint16_t code = AType & VTYPE_TYPEMASK;
  std::string name;
  if (code < std::size(kTypeNames)) {
    name = kTypeNames[code];
  } else if (code == VTYPE_STR_BLOB) {
    name = "STR_BLOB";
  } else {
    name = std::string("unknown(").append(std::to_string(code)).append(")");
  }
  if (AType & VTYPE_VECTOR) name += "|vector";
  if (AType & VTYPE_ARRAY) name += "|array";
  if (AType & VTYPE_BYREF) name += "|byref";
  if (AType & 0x8000) name += "|0x8000";
  return name;
}

// Written with appends: GCC 12 misreports "literal" + std::string under -O3
// (-Wrestrict).
static std::string Bracketed(const std::string& AText) {
  std::string out(1, '<');
  out.append(AText).append(1, '>');
  return out;
}

std::string TValue::Display() const {
  if (Type & ~VTYPE_TYPEMASK) return Bracketed(TypeName(Type));
  switch (Type) {
    case VTYPE_EMPTY: return "undefined";
    case VTYPE_NULL: return "null";
    case VTYPE_I1: case VTYPE_I2: case VTYPE_I4: case VTYPE_I8: case VTYPE_INT: case VTYPE_ERROR:
    case VTYPE_HRESULT: case VTYPE_UI1: case VTYPE_UI2: case VTYPE_UI4: case VTYPE_UINT:
      return std::to_string(Int);
    case VTYPE_UI8: return std::to_string(static_cast<std::uint64_t>(Int));
    case VTYPE_R4: case VTYPE_R8: return Number(Real);
    case VTYPE_DATE: return DateText(FromOleDate(Real));
    case VTYPE_TM: return DateText(DateTime);
    case VTYPE_BOOL: return Bool ? "true" : "false";
    case VTYPE_PWSTR: return NullPointer ? "<null text>" : Quoted(Utf8());
    case VTYPE_PSTR: return NullPointer ? "<null text>" : Quoted(Bytes);
    case VTYPE_BLOB:
      if (NullPointer) return "<null blob>";
      return std::string("blob(").append(std::to_string(Bytes.size())).append(Bytes.empty() ? "" : ": ").append(Hex(Bytes)).append(")");
    default: return Bracketed(TypeName(Type));
  }
}

bool operator==(const TValue& A, const TValue& B) {
  return A.Type == B.Type && A.Int == B.Int && A.Real == B.Real && A.Bool == B.Bool && A.Text == B.Text &&
         A.Bytes == B.Bytes && A.DateTime == B.DateTime && A.NullPointer == B.NullPointer;
}

std::ostream& operator<<(std::ostream& AOut, const TValue& AValue) {
  return AOut << AValue.Display() << " [" << TypeName(AValue.Type) << "]";
}

double ToOleDate(const TDateTime& AValue) {
  const std::int64_t days =
      DaysFromCivil(AValue.Year, static_cast<unsigned>(AValue.Month), static_cast<unsigned>(AValue.Day)) -
      kOleEpochFromUnix;
  const double time = (AValue.Hour * 3600.0 + AValue.Minute * 60.0 + AValue.Second) / 86400.0;
  // Before the epoch the fraction counts forward from the (negative) day.
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

TDateTime FromOleDate(double ADays) {
  const double whole = std::trunc(ADays);
  const double fraction = std::fabs(ADays - whole);
  auto seconds = static_cast<std::int64_t>(std::llround(fraction * 86400.0));
  std::int64_t day = static_cast<std::int64_t>(whole);
  if (seconds >= 86400) {
    seconds -= 86400;
    day += ADays >= 0 ? 1 : -1;
  }
  TDateTime out;
  CivilFromDays(day + kOleEpochFromUnix, out.Year, out.Month, out.Day);
  out.Hour = static_cast<int>(seconds / 3600);
  out.Minute = static_cast<int>(seconds / 60 % 60);
  out.Second = static_cast<int>(seconds % 60);
  return out;
}

void WriteRecord(TV8Variant& ARecord, const TValue& AValue, const TPayloadAllocator& AAllocate) {
  std::memset(ARecord.raw, 0, sizeof ARecord.raw);
  ARecord.cbElements = 0;
  ARecord.padding = 0;
  switch (AValue.Code()) {
    case VTYPE_I1: ARecord.i8Val = static_cast<std::int8_t>(AValue.Int); break;
    case VTYPE_I2: ARecord.shortVal = static_cast<std::int16_t>(AValue.Int); break;
    case VTYPE_I4: case VTYPE_INT: case VTYPE_ERROR: case VTYPE_HRESULT:
      ARecord.lVal = static_cast<std::int32_t>(AValue.Int);
      break;
    case VTYPE_UI1: ARecord.ui8Val = static_cast<std::uint8_t>(AValue.Int); break;
    case VTYPE_UI2: ARecord.ushortVal = static_cast<std::uint16_t>(AValue.Int); break;
    case VTYPE_UI4: case VTYPE_UINT: ARecord.ulVal = static_cast<std::uint32_t>(AValue.Int); break;
    case VTYPE_I8: case VTYPE_UI8: ARecord.llVal = AValue.Int; break;
    case VTYPE_R4: ARecord.fltVal = static_cast<float>(AValue.Real); break;
    case VTYPE_R8: ARecord.dblVal = AValue.Real; break;
    case VTYPE_DATE: ARecord.date = AValue.Real; break;
    case VTYPE_BOOL: ARecord.bVal = AValue.Bool; break;
    case VTYPE_TM: WriteTm(ARecord.tmVal, AValue.DateTime); break;
    case VTYPE_PWSTR:
      if (!AValue.NullPointer) {
        const std::size_t bytes = (AValue.Text.size() + 1) * sizeof(char16_t);
        auto* text = static_cast<char16_t*>(Payload(AAllocate, bytes));
        std::memcpy(text, AValue.Text.c_str(), bytes);
        ARecord.wstr.pwstrVal = text;
        ARecord.wstr.wstrLen = static_cast<std::uint32_t>(AValue.Text.size());
      }
      break;
    case VTYPE_PSTR: case VTYPE_BLOB:
      if (!AValue.NullPointer) {
        // PSTR carries a terminator; a blob gets one too, outside its length.
        auto* bytes = static_cast<char*>(Payload(AAllocate, AValue.Bytes.size() + 1));
        std::memcpy(bytes, AValue.Bytes.c_str(), AValue.Bytes.size() + 1);
        ARecord.str.pstrVal = bytes;
        ARecord.str.strLen = static_cast<std::uint32_t>(AValue.Bytes.size());
      }
      break;
    default: break;
  }
  ARecord.vt = AValue.Type;
}

// A record written with flag bits (by reference, array) still carries the
// block its type code was written with.
void* PayloadOf(const TV8Variant& ARecord) noexcept {
  switch (ARecord.vt & VTYPE_TYPEMASK) {
    case VTYPE_PWSTR: return ARecord.wstr.pwstrVal;
    case VTYPE_PSTR: case VTYPE_BLOB: return ARecord.str.pstrVal;
    default: return nullptr;
  }
}

TValue ReadRecord(const TV8Variant& ARecord, const TMemoryManager* AMemory) {
  TValue v;
  v.Type = ARecord.vt;
  if (v.Type & ~VTYPE_TYPEMASK) return v;  // by reference, arrays, vectors: not followed
  switch (v.Type) {
    case VTYPE_I1: v.Int = ARecord.i8Val; break;
    case VTYPE_I2: v.Int = ARecord.shortVal; break;
    case VTYPE_I4: case VTYPE_INT: case VTYPE_ERROR: case VTYPE_HRESULT: v.Int = ARecord.lVal; break;
    case VTYPE_UI1: v.Int = ARecord.ui8Val; break;
    case VTYPE_UI2: v.Int = ARecord.ushortVal; break;
    case VTYPE_UI4: case VTYPE_UINT: v.Int = ARecord.ulVal; break;
    case VTYPE_I8: case VTYPE_UI8: v.Int = ARecord.llVal; break;
    case VTYPE_R4: v.Real = ARecord.fltVal; break;
    case VTYPE_R8: v.Real = ARecord.dblVal; break;
    case VTYPE_DATE: v.Real = ARecord.date; break;
    case VTYPE_BOOL: v.Bool = ARecord.raw[0] != 0; break;
    case VTYPE_TM: v.DateTime = ReadTm(ARecord.tmVal); break;
    case VTYPE_PWSTR: {
      v.Length = ARecord.wstr.wstrLen;
      v.NullPointer = ARecord.wstr.pwstrVal == nullptr;
      if (!v.NullPointer) {
        const std::size_t units = Readable(ARecord.wstr.pwstrVal, v.Length * sizeof(char16_t), AMemory) / 2;
        v.Text.assign(ARecord.wstr.pwstrVal, units);
      }
      break;
    }
    case VTYPE_PSTR: case VTYPE_BLOB: {
      v.Length = ARecord.str.strLen;
      v.NullPointer = ARecord.str.pstrVal == nullptr;
      if (!v.NullPointer) v.Bytes.assign(ARecord.str.pstrVal, Readable(ARecord.str.pstrVal, v.Length, AMemory));
      break;
    }
    default: break;
  }
  return v;
}

}  // namespace v8host
