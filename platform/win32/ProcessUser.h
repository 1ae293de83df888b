#pragma once
// Which user a process runs as, told by the user SID of its access token.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform::win32 {

// True when the process AProcessId runs as AUser; false when it runs as
// another user, or cannot be asked (gone, or closed to this process).
bool ProcessRunsAs(DWORD AProcessId, PSID AUser) noexcept;

// True when the process AProcessId runs as the user this process runs as.
bool ProcessRunsAsThisUser(DWORD AProcessId) noexcept;

}  // namespace platform::win32
