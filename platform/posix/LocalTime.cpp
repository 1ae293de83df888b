#include "platform/LocalTime.h"

#include <ctime>

namespace platform {

TLocalTime LocalNow() noexcept {
  timespec Now{};
  clock_gettime(CLOCK_REALTIME, &Now);
  tm Parts{};
  localtime_r(&Now.tv_sec, &Parts);
  TLocalTime Time;
  Time.Year = Parts.tm_year + 1900;
  Time.Month = Parts.tm_mon + 1;
  Time.Day = Parts.tm_mday;
  Time.Hour = Parts.tm_hour;
  Time.Minute = Parts.tm_min;
  Time.Second = Parts.tm_sec;
  Time.Millisecond = static_cast<int>(Now.tv_nsec / 1000000);
  return Time;
}

}  // namespace platform
