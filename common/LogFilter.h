#pragma once
// Which levels each log mode lets through, and the word of each level.
#include <string_view>

#include "common/Common.Log.h"

namespace Common::Log {

// Inline: asked by every line written.
inline bool LogModeAdmits(TLogMode AMode, TLogLevel ALevel) noexcept {
  //                                          llInfo llDebug llError
  constexpr bool kAdmits[4][3] = {/* lmOff        */ {false, false, false},
                                  /* lmErrors     */ {false, false, true},
                                  /* lmInfoErrors */ {true, false, true},
                                  /* lmAll        */ {true, true, true}};
  return AMode <= lmAll && ALevel <= llError && kAdmits[AMode][ALevel];
}

// "INFO", "DEBUG" or "ERROR".
std::u16string_view LogLevelWord(TLogLevel ALevel) noexcept;

}  // namespace Common::Log
