#include "platform/OsError.h"

#include <cstring>

#include "common/Text.h"

namespace platform {

std::u16string OSErrorText(unsigned long ACode) {
  char Buffer[256] = {};
  // The GNU variant returns the text, which may or may not be Buffer.
  const char* Text = strerror_r(static_cast<int>(ACode), Buffer, sizeof Buffer);
  return ToUtf16(Text != nullptr ? Text : "Unknown error");
}

}  // namespace platform
