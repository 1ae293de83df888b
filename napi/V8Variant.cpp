#include "napi/V8Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/Exception.h"
#include "common/Text.h"

namespace {

std::uint16_t CodeOf(const V8Variant* V) noexcept { return V == nullptr ? std::uint16_t{VTYPE_EMPTY} : V8TypeCode(*V); }

std::int32_t Truncate(double AValue) noexcept {
  if (!std::isfinite(AValue)) return 0;
  const double T = std::trunc(AValue);
  if (T < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
      T > static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return 0;
  return static_cast<std::int32_t>(T);
}

std::string NarrowAscii(std::u16string_view AText) {
  std::string Out;
  Out.reserve(AText.size());
  for (char16_t C : AText) {
    if (C > 0x7F) return {};
    Out += static_cast<char>(C);
  }
  return Out;
}

bool IsLeap(int Y) noexcept { return (Y % 4 == 0 && Y % 100 != 0) || Y % 400 == 0; }

int DaysInMonth(int Y, int M) noexcept {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return M == 2 && IsLeap(Y) ? 29 : kDays[M - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(long long Y, unsigned M, unsigned D) noexcept {
  Y -= M <= 2;
  const long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  const unsigned Yoe = static_cast<unsigned>(Y - Era * 400);
  const unsigned Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const unsigned Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + static_cast<long long>(Doe) - 719468;
}

void CivilFromDays(long long Z, int& Y, unsigned& M, unsigned& D) noexcept {
  Z += 719468;
  const long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const unsigned Doe = static_cast<unsigned>(Z - Era * 146097);
  const unsigned Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
  const unsigned Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
  const unsigned Mp = (5 * Doy + 2) / 153;
  D = Doy - (153 * Mp + 2) / 5 + 1;
  M = Mp < 10 ? Mp + 3 : Mp - 9;
  Y = static_cast<int>(Yoe + Era * 400 + (M <= 2));
}

constexpr long long kDaysFrom1899To1970 = 25569;
// The platform's dates run from 0001-01-01 to 9999-12-31: as day numbers,
// everything strictly between these two (a date before 1899-12-30 keeps its
// time as a fraction below its negative day number).
constexpr double kFirstDateLimit = -693594.0;
constexpr double kLastDateLimit = 2958466.0;

}  // namespace

std::u16string V8GetWString(const V8Variant* V) {
  if (CodeOf(V) != VTYPE_PWSTR || V->VarEnum.vtRecWideString.pwstrVal == nullptr) return {};
  const char16_t* Text = V->VarEnum.vtRecWideString.pwstrVal;
  return std::u16string(Text, WideLength(Text));
}

bool V8IsString(const V8Variant* V) noexcept {
  const auto Code = CodeOf(V);
  return Code == VTYPE_PSTR || Code == VTYPE_PWSTR;
}

bool V8TextToInt(std::u16string_view AText, std::int32_t& AValue) noexcept {
  std::string S = NarrowAscii(AText);
  if (S.empty()) return false;
  const char* First = S.data();
  const char* Last = S.data() + S.size();
  bool Negative = false;
  if (*First == '+' || *First == '-') {
    Negative = *First == '-';
    ++First;
  }
  int Base = 10;
  if (Last - First > 1 && First[0] == '$') {
    Base = 16;
    ++First;
  } else if (Last - First > 2 && First[0] == '0' && (First[1] == 'x' || First[1] == 'X')) {
    Base = 16;
    First += 2;
  }
  if (First == Last || *First == '+' || *First == '-') return false;
  long long Value = 0;
  const auto [End, Error] = std::from_chars(First, Last, Value, Base);
  if (Error != std::errc() || End != Last) return false;
  if (Negative) Value = -Value;
  if (Value < std::numeric_limits<std::int32_t>::min() || Value > std::numeric_limits<std::int32_t>::max())
    return false;
  AValue = static_cast<std::int32_t>(Value);
  return true;
}

bool V8TextToDouble(std::u16string_view AText, double& AValue) noexcept {
  std::string S = NarrowAscii(AText);
  // Either decimal separator is accepted, so "1,5" and "1.5" read alike.
  for (char& C : S)
    if (C == ',') C = '.';
  if (S.empty()) return false;
  const char* First = S.data();
  if (*First == '+') ++First;
  if (*First == '-' && First != S.data()) return false;  // "+-1" has one sign too many
  double Value = 0;
  const auto [End, Error] = std::from_chars(First, S.data() + S.size(), Value, std::chars_format::general);
  // from_chars also reads "inf" and "nan", which are no numbers of the platform.
  if (Error != std::errc() || End != S.data() + S.size() || !std::isfinite(Value)) return false;
  AValue = Value;
  return true;
}

std::int32_t V8GetInt(const V8Variant* V) noexcept {
  switch (CodeOf(V)) {
    case VTYPE_I2: return V->VarEnum.shortVal;
    case VTYPE_I4: return V->VarEnum.lVal;
    case VTYPE_R4: return Truncate(V->VarEnum.fltVal);
    case VTYPE_R8: return Truncate(V->VarEnum.dblVal);
    case VTYPE_DATE: return Truncate(V->VarEnum.date);
    case VTYPE_ERROR: return V->VarEnum.errCode;
    case VTYPE_UI1: return V->VarEnum.ui8Val;
    case VTYPE_PWSTR: {
      std::int32_t Value = 0;
      try {
        return V8TextToInt(V8GetWString(V), Value) ? Value : 0;
      } catch (...) {
        return 0;
      }
    }
    default: return 0;
  }
}

double V8GetDouble(const V8Variant* V) noexcept {
  switch (CodeOf(V)) {
    case VTYPE_R8: return V->VarEnum.dblVal;
    case VTYPE_I2: return V->VarEnum.shortVal;
    case VTYPE_I4: return V->VarEnum.lVal;
    case VTYPE_R4: return V->VarEnum.fltVal;
    case VTYPE_DATE: return V->VarEnum.date;
    case VTYPE_ERROR: return V->VarEnum.errCode;
    case VTYPE_UI1: return V->VarEnum.ui8Val;
    case VTYPE_PWSTR: {
      double Value = 0;
      try {
        return V8TextToDouble(V8GetWString(V), Value) ? Value : 0;
      } catch (...) {
        return 0;
      }
    }
    default: return 0;
  }
}

bool V8GetBool(const V8Variant* V) noexcept {
  if (CodeOf(V) == VTYPE_BOOL) return V->VarEnum.bVal;
  return V8GetInt(V) != 0;
}

TDateTime V8GetDateTime(const V8Variant* V) {
  switch (CodeOf(V)) {
    case VTYPE_R8: return {V->VarEnum.dblVal};
    case VTYPE_DATE: return {V->VarEnum.date};
    case VTYPE_TM: return V8TmToDateTime(V->VarEnum.tmVal);
    default: return {};
  }
}

TDateTime V8TmToDateTime(const TV8SystemTm& ATm) {
  // Widened first: the host's fields may hold any int, the largest included.
  const long long Year = static_cast<long long>(ATm.tm_year) + 1900;
  const long long Month = static_cast<long long>(ATm.tm_mon) + 1;
  const bool DateOk = Year >= 1 && Year <= 9999 && Month >= 1 && Month <= 12 && ATm.tm_mday >= 1 &&
                      ATm.tm_mday <= DaysInMonth(static_cast<int>(Year), static_cast<int>(Month));
  const bool TimeOk = ATm.tm_hour >= 0 && ATm.tm_hour < 24 && ATm.tm_min >= 0 && ATm.tm_min < 60 &&
                      ATm.tm_sec >= 0 && ATm.tm_sec < 60;
  if (!DateOk || !TimeOk) throw Exception(std::u16string(u"Invalid argument to date encode"));
  const long long Days = DaysFromCivil(Year, static_cast<unsigned>(Month), static_cast<unsigned>(ATm.tm_mday)) +
                         kDaysFrom1899To1970;
  const double Time = (ATm.tm_hour * 3600.0 + ATm.tm_min * 60.0 + ATm.tm_sec) / 86400.0;
  // Dates before 1899-12-30 keep the time as a positive fraction of a
  // negative day number, as the platform's date-time does.
  return {Days >= 0 ? static_cast<double>(Days) + Time : static_cast<double>(Days) - Time};
}

std::u16string V8DateTimeToStr(TDateTime AValue) {
  // Outside the platform's years there is no date to show, and a day count
  // far out would not even fit the integer arithmetic below.
  if (!std::isfinite(AValue.Value) || AValue.Value <= kFirstDateLimit || AValue.Value >= kLastDateLimit)
    return u"Invalid date";
  const double Whole = std::trunc(AValue.Value);
  long long Ms = std::llround(std::fabs(AValue.Value - Whole) * 86400000.0);
  long long Days = static_cast<long long>(Whole);
  if (Ms >= 86400000) {
    Ms -= 86400000;
    Days += AValue.Value < 0 ? -1 : 1;
  }
  int Y = 0;
  unsigned M = 0, D = 0;
  CivilFromDays(Days - kDaysFrom1899To1970, Y, M, D);
  const long long S = Ms / 1000;
  char Buffer[64];
  std::snprintf(Buffer, sizeof Buffer, "%04d-%02u-%02uT%02lld:%02lld:%02lld", Y, M, D, S / 3600, S / 60 % 60, S % 60);
  return ToUtf16(Buffer);
}

std::string V8TypeName(std::uint16_t AVt) {
  static constexpr const char* kNames[] = {
      "VTYPE_EMPTY", "VTYPE_NULL", "VTYPE_I2", "VTYPE_I4", "VTYPE_R4", "VTYPE_R8", "VTYPE_DATE",
      "VTYPE_TM", "VTYPE_PSTR", "VTYPE_INTERFACE", "VTYPE_ERROR", "VTYPE_BOOL", "VTYPE_VARIANT",
      "VTYPE_I1", "VTYPE_UI1", "VTYPE_UI2", "VTYPE_UI4", "VTYPE_I8", "VTYPE_UI8", "VTYPE_INT",
      "VTYPE_UINT", "VTYPE_HRESULT", "VTYPE_PWSTR", "VTYPE_BLOB", "VTYPE_CLSID"};
  const std::uint16_t Code = AVt & VTYPE_TYPEMASK;
  std::string Name;
  if (Code < std::size(kNames))
    Name = kNames[Code];
  else if (Code == VTYPE_STR_BLOB)
    Name = "VTYPE_STR_BLOB";
  else
    return "unknown type";
  if (AVt & VTYPE_BYREF)
    Name += " by ref";
  else if (AVt & VTYPE_ARRAY)
    Name += " array";
  else if (AVt & VTYPE_VECTOR)
    Name += " vector";
  return Name;
}

TV8Value V8ToVariant(const V8Variant& V) {
  switch (V.vt) {
    case VTYPE_EMPTY: return std::monostate{};
    case VTYPE_I4: return V.VarEnum.lVal;
    case VTYPE_R8: return V.VarEnum.dblVal;
    case VTYPE_TM: return V8GetDateTime(&V);
    case VTYPE_BOOL: return V8GetBool(&V);
    case VTYPE_I8: return static_cast<std::int64_t>(V.VarEnum.llVal);
    case VTYPE_PWSTR: return V8GetWString(&V);
    case VTYPE_INTERFACE: return std::u16string(u"INTERFACE");
    case VTYPE_BLOB: return std::u16string(u"BLOB");
    default: throw Exception("Unsupported data type - " + V8TypeName(V.vt));
  }
}

std::u16string V8ValueToStr(const TV8Value& AValue) {
  struct Render {
    std::u16string operator()(std::monostate) const { return {}; }
    std::u16string operator()(std::int32_t I) const { return IntToText(I); }
    std::u16string operator()(std::int64_t I) const { return IntToText(I); }
    std::u16string operator()(bool B) const { return B ? u"true" : u"false"; }
    std::u16string operator()(TDateTime D) const { return V8DateTimeToStr(D); }
    std::u16string operator()(const std::u16string& S) const { return S; }
    std::u16string operator()(double D) const {
      char Buffer[64];
      const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, D);
      return ToUtf16(std::string_view(Buffer, static_cast<std::size_t>(Result.ptr - Buffer)));
    }
  };
  return std::visit(Render{}, AValue);
}

std::u16string V8ToStr(const V8Variant& V) {
  // Texts are the common case of a traced call: rendered straight from the
  // record, without the detour through a value.
  if (V.vt == VTYPE_PWSTR) return V8GetWString(&V);
  return V8ValueToStr(V8ToVariant(V));
}
