#include "platform/OsError.h"

#include <windows.h>

namespace platform {

std::u16string OSErrorText(unsigned long ACode) {
  wchar_t Buffer[512] = {};
  DWORD Length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ACode, 0, Buffer,
                                sizeof Buffer / sizeof Buffer[0], nullptr);
  while (Length > 0 && (Buffer[Length - 1] <= L' ' || Buffer[Length - 1] == L'.')) --Length;
  if (Length == 0) return u"System error";
  return std::u16string(reinterpret_cast<const char16_t*>(Buffer), Length);
}

}  // namespace platform
