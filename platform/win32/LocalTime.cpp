#include "platform/LocalTime.h"

#include <windows.h>

namespace platform {

TLocalTime LocalNow() noexcept {
  SYSTEMTIME Now{};
  GetLocalTime(&Now);
  return {Now.wYear, Now.wMonth, Now.wDay, Now.wHour, Now.wMinute, Now.wSecond, Now.wMilliseconds};
}

}  // namespace platform
