#pragma once
// Doubles as text, independent of the locale: the shortest text that reads
// back as the same value, and the reading of such a text.
#include <string>
#include <string_view>

// The shortest text that reads back as AValue: plain ("0.001", "1500") or
// scientific ("1e+20", "1.5e-07"), whichever is shorter, plain on a tie;
// "inf", "-inf", "nan", "-nan" for the values that are not numbers.
std::string DoubleToText(double AValue);

// Reads a whole text as a decimal number: an optional '-', digits with an
// optional '.', an optional exponent; or "inf", "infinity", "nan",
// "nan(chars)" in any case. False, with AValue unchanged, for anything else
// and for a number too large or too small (but not zero) for a double.
bool TextToDouble(std::string_view AText, double& AValue) noexcept;
