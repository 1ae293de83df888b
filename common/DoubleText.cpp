#include "common/DoubleText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <double-conversion/double-to-string.h>
#include <double-conversion/strtod.h>

namespace {

using double_conversion::DoubleToStringConverter;
using double_conversion::StringBuilder;

// "-"? digits, with the plain layout: 0.00ddd, dd.ddd or ddd00.
std::string PlainLayout(bool ANegative, std::string_view ADigits, int APoint) {
  std::string Out = ANegative ? "-" : "";
  const int Count = static_cast<int>(ADigits.size());
  if (APoint <= 0) {
    Out += "0.";
    Out.append(static_cast<std::size_t>(-APoint), '0');
    Out += ADigits;
  } else if (APoint < Count) {
    Out += ADigits.substr(0, static_cast<std::size_t>(APoint));
    Out += '.';
    Out += ADigits.substr(static_cast<std::size_t>(APoint));
  } else {
    Out += ADigits;
    Out.append(static_cast<std::size_t>(APoint - Count), '0');
  }
  return Out;
}

// "-"? d[.ddd]e(+|-)XX, with at least two exponent digits as printf has them.
std::string ScientificLayout(bool ANegative, std::string_view ADigits, int APoint) {
  std::string Out = ANegative ? "-" : "";
  Out += ADigits[0];
  if (ADigits.size() > 1) {
    Out += '.';
    Out += ADigits.substr(1);
  }
  const int Exponent = APoint - 1;
  Out += Exponent < 0 ? "e-" : "e+";
  const std::string Digits = std::to_string(Exponent < 0 ? -Exponent : Exponent);
  if (Digits.size() < 2) Out += '0';
  Out += Digits;
  return Out;
}

// A whole number printed as printf's "%.0f" does: every digit of the exact
// value, not only the ones needed to tell it apart (12345678901234567168
// rather than 12345678901234567000).
std::string ExactWholeNumber(double AValue) {
  const DoubleToStringConverter Converter(DoubleToStringConverter::NO_FLAGS, "inf", "nan", 'e', 0, 0, 0, 0);
  char Buffer[DoubleToStringConverter::kMaxFixedDigitsBeforePoint + 8];
  StringBuilder Builder(Buffer, sizeof Buffer);
  Converter.ToFixed(AValue, 0, &Builder);
  const int Length = Builder.position();
  return std::string(Builder.Finalize(), static_cast<std::size_t>(Length));
}

bool SameAsciiLower(std::string_view AText, std::string_view ALower) noexcept {
  if (AText.size() != ALower.size()) return false;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    char C = AText[I];
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    if (C != ALower[I]) return false;
  }
  return true;
}

// "inf", "infinity", "nan" or "nan(" letters, digits, '_' ")".
bool ReadSpecial(std::string_view AText, double& AValue) noexcept {
  if (SameAsciiLower(AText, "inf") || SameAsciiLower(AText, "infinity")) {
    AValue = std::numeric_limits<double>::infinity();
    return true;
  }
  if (AText.size() < 3 || !SameAsciiLower(AText.substr(0, 3), "nan")) return false;
  std::string_view Rest = AText.substr(3);
  if (!Rest.empty()) {
    if (Rest.size() < 2 || Rest.front() != '(' || Rest.back() != ')') return false;
    for (const char C : Rest.substr(1, Rest.size() - 2))
      if (!((C >= '0' && C <= '9') || (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_')) return false;
  }
  AValue = std::numeric_limits<double>::quiet_NaN();
  return true;
}

// Any power of ten past this gives infinity or zero alike.
constexpr int ExponentLimit = 100000;

// A decimal number, [digits][.digits][(e|E)[+|-]digits] with at least one
// digit before the exponent, as its significant digits (no leading zeros)
// and the power of ten they are scaled by.
struct TDecimal {
  // Up to this many significant digits are kept; any further non-zero
  // digit is represented by one more '1', which rounds as they would.
  static constexpr int KeptDigits = 772;
  char Digits[KeptDigits + 1];
  int Count = 0;
  std::int64_t Exponent = 0;
  bool Dropped = false;

  void Add(char ADigit, bool AFraction) noexcept {
    if (Count == 0 && ADigit == '0') {
      if (AFraction) --Exponent;
      return;
    }
    if (Count < KeptDigits) {
      Digits[Count++] = ADigit;
      if (AFraction) --Exponent;
    } else {
      Dropped = Dropped || ADigit != '0';
      if (!AFraction) ++Exponent;
    }
  }
};

bool IsDigit(char C) noexcept { return C >= '0' && C <= '9'; }

bool ReadDecimal(std::string_view AText, TDecimal& ADecimal) noexcept {
  std::size_t I = 0, Mantissa = 0;
  for (; I < AText.size() && IsDigit(AText[I]); ++I, ++Mantissa) ADecimal.Add(AText[I], false);
  if (I < AText.size() && AText[I] == '.')
    for (++I; I < AText.size() && IsDigit(AText[I]); ++I, ++Mantissa) ADecimal.Add(AText[I], true);
  if (Mantissa == 0) return false;
  if (I == AText.size()) return true;
  if (AText[I] != 'e' && AText[I] != 'E') return false;
  ++I;
  const bool Negative = I < AText.size() && AText[I] == '-';
  if (I < AText.size() && (AText[I] == '-' || AText[I] == '+')) ++I;
  if (I == AText.size()) return false;
  int Power = 0;
  for (; I < AText.size(); ++I) {
    if (!IsDigit(AText[I])) return false;
    Power = std::min(ExponentLimit, Power * 10 + (AText[I] - '0'));
  }
  ADecimal.Exponent += Negative ? -Power : Power;
  return true;
}

// The double nearest to the number, rounded to even on a tie.
double DecimalValue(TDecimal& ADecimal) noexcept {
  if (ADecimal.Count == 0) return 0;
  if (ADecimal.Dropped) {
    ADecimal.Digits[ADecimal.Count++] = '1';
    --ADecimal.Exponent;
  }
  const auto Exponent = std::clamp<std::int64_t>(ADecimal.Exponent, -ExponentLimit, ExponentLimit);
  return double_conversion::Strtod(double_conversion::Vector<const char>(ADecimal.Digits, ADecimal.Count),
                                   static_cast<int>(Exponent));
}

}  // namespace

std::string DoubleToText(double AValue) {
  const bool Negative = std::signbit(AValue);
  if (std::isnan(AValue)) return Negative ? "-nan" : "nan";
  if (std::isinf(AValue)) return Negative ? "-inf" : "inf";
  char Digits[DoubleToStringConverter::kBase10MaximalLength + 1];
  bool Sign = false;
  int Length = 0, Point = 0;
  DoubleToStringConverter::DoubleToAscii(AValue, DoubleToStringConverter::SHORTEST, 0, Digits, sizeof Digits, &Sign,
                                         &Length, &Point);
  const std::string_view Shortest(Digits, static_cast<std::size_t>(Length));
  std::string Plain = PlainLayout(Negative, Shortest, Point);
  std::string Scientific = ScientificLayout(Negative, Shortest, Point);
  if (Plain.size() > Scientific.size()) return Scientific;
  if (Point > Length) return ExactWholeNumber(AValue);
  return Plain;
}

bool TextToDouble(std::string_view AText, double& AValue) noexcept {
  std::string_view Body = AText;
  const bool Negative = !Body.empty() && Body.front() == '-';
  if (Negative) Body.remove_prefix(1);
  // A sign is only ever the first character.
  if (Body.empty() || Body.front() == '+' || Body.front() == '-') return false;
  double Value = 0;
  if (ReadSpecial(Body, Value)) {
    AValue = Negative ? -Value : Value;
    return true;
  }
  TDecimal Decimal;
  if (!ReadDecimal(Body, Decimal)) return false;
  const bool NonZero = Decimal.Count > 0;
  Value = DecimalValue(Decimal);
  // Out of a double's range on either side.
  if (std::isinf(Value) || (Value == 0 && NonZero)) return false;
  AValue = Negative ? -Value : Value;
  return true;
}
