#pragma once
// The text of one log line: "yyyy.mm.dd hh:nn:ss.zzz<TAB>LEVEL<TAB>message"
// and, when details were given, ": <TAB>details".
#include <string>
#include <string_view>

#include "common/Common.Log.h"
#include "platform/LocalTime.h"

namespace Common::Log {

// Removes every character up to and including the space at both ends.
std::u16string_view TrimLogText(std::u16string_view AText) noexcept;

// "yyyy.mm.dd", as in the log's file names.
std::u16string FormatLogDate(const platform::TLocalTime& ATime);
// "yyyy.mm.dd hh:nn:ss.zzz", the time's fields joined by ATimeSeparator.
std::u16string FormatLogTimestamp(const platform::TLocalTime& ATime, std::u16string_view ATimeSeparator);

// The line without its line break. Whether details follow is decided on the
// untrimmed ADetails, so details of spaces only leave ": <TAB>" at the end.
std::u16string FormatLogLine(const platform::TLocalTime& ATime, std::u16string_view AMessage,
                             std::u16string_view ADetails, TLogLevel ALevel);

}  // namespace Common::Log
