#pragma once
// Readable texts for the operating system's error codes (GetLastError on
// Windows, errno elsewhere).
#include <string>
#include <string_view>

namespace platform {

// The system's own description of ACode, without a trailing line break.
std::u16string OSErrorText(unsigned long ACode);

// AWhat + ": " + the description + " (code N)", thrown as Exception.
[[noreturn]] void RaiseOSError(std::u16string_view AWhat, unsigned long ACode);

}  // namespace platform
