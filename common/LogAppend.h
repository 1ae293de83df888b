#pragma once
// Appending one text as a line (CR LF added, UTF-8 without byte-order mark)
// to the day's log file.
#include <chrono>
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace Common::Log {

class TLogState;

// How long a file held by another writer is waited for before failing. Many
// processes may log into one day's file (every user of a terminal server),
// and on a busy machine a writer can be descheduled while it holds the file:
// the wait is long enough that writers of the log never fail one another,
// while a file some other program keeps open still fails clearly.
inline constexpr std::chrono::milliseconds kLogBusyRetryWindow{2000};

// Appends AText to the file of ATime's day under LogLock. A file held by
// another writer is tried again for kLogBusyRetryWindow; after that, or on
// any other failure, Exception is thrown.
void AppendLogLine(TLogState& AState, std::u16string_view AText, const platform::TLocalTime& ATime);

}  // namespace Common::Log
