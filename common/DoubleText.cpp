#include "common/DoubleText.h"

#include <cmath>
#include <limits>

#ifdef QUORVEL_STD_CHARCONV
// A build without double-conversion whose standard library has the
// floating-point conversions, which produce the same texts.
#include <charconv>

std::string DoubleToText(double AValue) {
  char Buffer[64];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, AValue);
  return std::string(Buffer, Result.ptr);
}

bool TextToDouble(std::string_view AText, double& AValue) noexcept {
  double Value = 0;
  const auto Result = std::from_chars(AText.data(), AText.data() + AText.size(), Value);
  if (Result.ec != std::errc() || Result.ptr != AText.data() + AText.size()) return false;
  AValue = Value;
  return true;
}

#else
#include <double-conversion/double-conversion.h>

namespace {

using double_conversion::DoubleToStringConverter;
using double_conversion::StringBuilder;
using double_conversion::StringToDoubleConverter;

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

bool HasNonZeroDigit(std::string_view ANumber) noexcept {
  for (const char C : ANumber) {
    if (C == 'e' || C == 'E') break;
    if (C >= '1' && C <= '9') return true;
  }
  return false;
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
  const StringToDoubleConverter Converter(StringToDoubleConverter::ALLOW_TRAILING_JUNK, 0.0,
                                          std::numeric_limits<double>::quiet_NaN(), nullptr, nullptr);
  if (Body.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return false;
  int Processed = 0;
  Value = Converter.StringToDouble(Body.data(), static_cast<int>(Body.size()), &Processed);
  if (static_cast<std::size_t>(Processed) != Body.size() || std::isnan(Value)) return false;
  // Out of a double's range on either side.
  if (std::isinf(Value) || (Value == 0 && HasNonZeroDigit(Body))) return false;
  AValue = Negative ? -Value : Value;
  return true;
}

#endif
