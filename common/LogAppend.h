#pragma once
// Appending one text as a line (CR LF added, UTF-8 without byte-order mark)
// to the day's log file.
#include <chrono>
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace Common::Log {

class TLogState;

// How long a file held by another writer is waited for before failing.
inline constexpr std::chrono::milliseconds kLogBusyRetryWindow{100};

// Appends AText to the file of ATime's day under LogLock. A file held by
// another writer is tried again for kLogBusyRetryWindow; after that, or on
// any other failure, Exception is thrown.
void AppendLogLine(TLogState& AState, std::u16string_view AText, const platform::TLocalTime& ATime);

}  // namespace Common::Log
