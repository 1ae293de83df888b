#include "common/LogState.h"

#include "common/LogHeader.h"

namespace Common::Log {

TLogState::~TLogState() {
  try {
    WriteLogFooterOf(*this);
  } catch (...) {
    // Nobody is left to tell at unload.
  }
}

platform::TLocalTime TLogState::Now() const {
  const TLogClock Installed = Clock.load();
  return Installed != nullptr ? Installed() : platform::LocalNow();
}

std::u16string TLogState::LogName() const {
  std::lock_guard Lock(FNameLock);
  return FLogName;
}

void TLogState::SetLogName(std::u16string AName) {
  std::lock_guard Lock(FNameLock);
  FLogName = std::move(AName);
}

TLogState& LogState() {
  static TLogState State;
  return State;
}

}  // namespace Common::Log
