#pragma once
// Where the log takes the time from: the system's local clock, or a stand-in
// installed by tests (for example to cross midnight).
#include "platform/LocalTime.h"

namespace Common::Log {

using TLogClock = platform::TLocalTime (*)();

// Installs AClock (nullptr: the system clock) and returns the previous one.
TLogClock SetLogClock(TLogClock AClock) noexcept;

platform::TLocalTime LogNow();

}  // namespace Common::Log
