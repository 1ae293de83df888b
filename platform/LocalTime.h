#pragma once
// The local wall-clock time, broken into the fields the log writes.
#include <string>

namespace platform {

struct TLocalTime {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};

TLocalTime LocalNow() noexcept;

// The separator between hours, minutes and seconds in the user's regional
// settings; ":" where they give none.
std::u16string TimeSeparator();

}  // namespace platform
