#include "platform/LocalTime.h"

#include <windows.h>

namespace platform {

TLocalTime LocalNow() noexcept {
  SYSTEMTIME Now{};
  GetLocalTime(&Now);
  return {Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute, Now.wSecond, Now.wMilliseconds};
}

// Read anew each time, so that a change of the settings shows in the next line.
std::u16string TimeSeparator() {
  wchar_t Buffer[8] = {};
  const int Length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, Buffer, 8);
  if (Length <= 1) return u":";
  return std::u16string(reinterpret_cast<const char16_t*>(Buffer), static_cast<std::size_t>(Length - 1));
}

}  // namespace platform
