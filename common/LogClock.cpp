#include "common/LogClock.h"

#include "common/LogState.h"

namespace Common::Log {

TLogClock SetLogClock(TLogClock AClock) noexcept { return LogState().Clock.exchange(AClock); }

platform::TLocalTime LogNow() { return LogState().Now(); }

}  // namespace Common::Log
