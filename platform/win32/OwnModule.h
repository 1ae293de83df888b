#pragma once
// The module that holds this code: the add-in library (or the test program
// that links the same objects), never the host's program file.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace platform {

// Null only if the system cannot name the module of one of its own
// addresses.
HMODULE OwnModule() noexcept;

}  // namespace platform
