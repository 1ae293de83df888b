#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "common/DoubleText.h"

// The standard library's std::to_chars / std::from_chars are the reference:
// these texts are what the add-in always wrote and read, and builds whose
// library lacks the floating-point forms use this code instead.
namespace {

std::string Reference(double AValue) {
  char Buffer[64];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, AValue);
  return std::string(Buffer, Result.ptr);
}

std::vector<double> Samples() {
  std::vector<double> Values = {0.0, -0.0, 1.0, -1.0, 0.1, 2.5, 1e-7, 1.5e-7, 1e20, 1e21, 1e22, 1e23, 123456.0,
                                12345678901234567890.0, 123456789012345680000.0, 9007199254740993.0, 5e-324,
                                2.2250738585072014e-308, 1.7976931348623157e308, 0.001, 1234567.0, 100000.0,
                                1e15, 1e16, 1e17, 4.35, 1.0 / 3, std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN(),
                                -std::numeric_limits<double>::quiet_NaN()};
  for (int E = -30; E <= 30; ++E) Values.push_back(std::pow(10.0, E) * 1.25);
  std::mt19937_64 Random(12);
  for (int I = 0; I < 20000; ++I) Values.push_back(std::bit_cast<double>(Random()));
  // Whole numbers around the point where the plain layout stops winning.
  for (int I = 0; I < 20000; ++I) Values.push_back(std::ldexp(static_cast<double>(Random() >> 11), static_cast<int>(Random() % 40)));
  return Values;
}

}  // namespace

TEST(DoubleText, RendersExactlyAsTheStandardShortestForm) {
  for (const double V : Samples()) ASSERT_EQ(DoubleToText(V), Reference(V)) << std::bit_cast<std::uint64_t>(V);
}

TEST(DoubleText, ReadsExactlyWhatTheStandardParserReads) {
  std::vector<std::string> Texts = {"1.5", "-1.5", ".5", "5.", ".", "", "-", "+1", "--1", "-+1", "1e5", "1E+05",
                                    "1e", "1e+", "1e-5x", " 1", "1 ", "0x10", "010", "1e400", "-1e400", "1e-400",
                                    "0e999999", "4.9e-324", "2e-324", "1e-320", "inf", "-INF", "Infinity", "infin",
                                    "nan", "-nan", "NaN(abc_1)", "nan(", "nan()", "nan(a-b)", "1.5.5", "e5",
                                    "00000000000000000000000000000000001.25", "179769313486231580793728971405301e276"};
  // Past the digits a parser keeps: a halfway case decided by a last 1, and
  // long runs of zeros that only move the decimal point.
  Texts.push_back("9007199254740993." + std::string(800, '0') + "1");
  Texts.push_back("0." + std::string(1000, '0') + "1e1000");
  Texts.push_back("1" + std::string(900, '0') + "e-900");
  for (const std::string& T : Texts) {
    double Expected = 7, Actual = 7;
    const auto Result = std::from_chars(T.data(), T.data() + T.size(), Expected);
    const bool Accepted = Result.ec == std::errc() && Result.ptr == T.data() + T.size();
    ASSERT_EQ(TextToDouble(T, Actual), Accepted) << T;
    if (!Accepted) Expected = 7;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(Actual), std::bit_cast<std::uint64_t>(Expected)) << T;
  }
  // The shortest text of a finite value reads back as exactly that value.
  // (No comparison with the library's parser here: mingw's is a unit in the
  // last place off for some of these.)
  for (const double V : Samples()) {
    if (!std::isfinite(V)) continue;
    double Actual = 7;
    ASSERT_TRUE(TextToDouble(Reference(V), Actual)) << Reference(V);
    ASSERT_EQ(std::bit_cast<std::uint64_t>(Actual), std::bit_cast<std::uint64_t>(V)) << Reference(V);
  }
}
