#include "common/LogFilter.h"

namespace Common::Log {

std::u16string_view LogLevelWord(TLogLevel ALevel) noexcept {
  switch (ALevel) {
    case llInfo: return u"INFO";
    case llDebug: return u"DEBUG";
    case llError: return u"ERROR";
  }
  return u"ERROR";
}

}  // namespace Common::Log
