#pragma once
// Which levels each log mode lets through, and the word of each level.
#include <string_view>

#include "common/Common.Log.h"

namespace Common::Log {

bool LogModeAdmits(TLogMode AMode, TLogLevel ALevel) noexcept;

// "INFO", "DEBUG" or "ERROR".
std::u16string_view LogLevelWord(TLogLevel ALevel) noexcept;

}  // namespace Common::Log
