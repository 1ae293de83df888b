#include "common/LogFilter.h"

namespace Common::Log {

namespace {

//                                     llInfo llDebug llError
constexpr bool kAdmits[4][3] = {/* lmOff        */ {false, false, false},
                                /* lmErrors     */ {false, false, true},
                                /* lmInfoErrors */ {true, false, true},
                                /* lmAll        */ {true, true, true}};

}  // namespace

bool LogModeAdmits(TLogMode AMode, TLogLevel ALevel) noexcept {
  return AMode <= lmAll && ALevel <= llError && kAdmits[AMode][ALevel];
}

std::u16string_view LogLevelWord(TLogLevel ALevel) noexcept {
  switch (ALevel) {
    case llInfo: return u"INFO";
    case llDebug: return u"DEBUG";
    case llError: return u"ERROR";
  }
  return u"ERROR";
}

}  // namespace Common::Log
