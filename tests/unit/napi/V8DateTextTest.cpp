// The text form of a date-time for the call trace, at and beyond the ends of
// the platform's years 1 to 9999.
#include <gtest/gtest.h>

#include <limits>

#include "common/Exception.h"
#include "napi/V8Variant.h"

TEST(V8DateText, TheFirstAndTheLastDayOfThePlatformsYearsAreShown) {
  EXPECT_EQ(V8DateTimeToStr({-693593.0}), u"0001-01-01T00:00:00");
  EXPECT_EQ(V8DateTimeToStr({-693593.5}), u"0001-01-01T12:00:00");
  EXPECT_EQ(V8DateTimeToStr({2958465.5}), u"9999-12-31T12:00:00");
  EXPECT_EQ(V8DateTimeToStr({0.25}), u"1899-12-30T06:00:00");
}

TEST(V8DateText, ADayNumberOutsideThePlatformsYearsIsAnInvalidDate) {
  // A date record of the host may hold any double; far out, the day count
  // does not fit an integer at all.
  for (const double Days : {-693594.0, 2958466.0, 1e300, -3.4e161, 9.3e18, -9.3e18,
                            std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()})
    EXPECT_EQ(V8DateTimeToStr({Days}), u"Invalid date") << Days;
  EXPECT_EQ(V8DateTimeToStr({std::numeric_limits<double>::quiet_NaN()}), u"Invalid date");
  EXPECT_EQ(V8DateTimeToStr({std::numeric_limits<double>::infinity()}), u"Invalid date");
}

TEST(V8DateText, BrokenDownFieldsAtTheEndsOfTheirRangeAreRefusedWithoutOverflow) {
  // The host's broken-down time may hold any int in any field.
  for (const int Extreme : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    TV8SystemTm Month{};
    Month.tm_year = 100;
    Month.tm_mday = 1;
    Month.tm_mon = Extreme;
    EXPECT_THROW(V8TmToDateTime(Month), Exception) << Extreme;
    TV8SystemTm Year{};
    Year.tm_year = Extreme;
    Year.tm_mday = 1;
    EXPECT_THROW(V8TmToDateTime(Year), Exception) << Extreme;
    TV8SystemTm Day{};
    Day.tm_year = 100;
    Day.tm_mday = Extreme;
    EXPECT_THROW(V8TmToDateTime(Day), Exception) << Extreme;
  }
  TV8SystemTm Last{};
  Last.tm_year = 9999 - 1900;
  Last.tm_mon = 11;
  Last.tm_mday = 31;
  EXPECT_EQ(V8DateTimeToStr(V8TmToDateTime(Last)), u"9999-12-31T00:00:00");
}
