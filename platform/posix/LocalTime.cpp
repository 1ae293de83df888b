#include "platform/LocalTime.h"

#include <langinfo.h>
#include <locale.h>

#include <ctime>

#include "common/Text.h"

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

// The user's time format (LC_TIME of the environment) names the separator:
// what stands between the hours and the next field, as "." in "%H.%M.%S".
// A format written as "%T" or "%r" means the colon.
std::u16string TimeSeparator() {
  const locale_t User = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (User == static_cast<locale_t>(nullptr)) return u":";
  const std::string Format = nl_langinfo_l(T_FMT, User);
  freelocale(User);
  std::size_t Hours = Format.find("%H");
  if (Hours == std::string::npos) Hours = Format.find("%k");
  if (Hours == std::string::npos) return u":";
  const std::size_t Next = Format.find('%', Hours + 2);
  const std::string Separator = Format.substr(Hours + 2, Next == std::string::npos ? std::string::npos : Next - Hours - 2);
  if (Separator.empty() || Separator.find_first_of(" \t") != std::string::npos) return u":";
  return ToUtf16(Separator);
}

}  // namespace platform
