#include "common/LogState.h"

#include "common/LogFileName.h"
#include "common/LogHeader.h"
#include "platform/Folders.h"

namespace Common::Log {

// The module unloads under the loader's lock, where nothing may load a
// library. The footer's path takes the data folder that the open period has
// already asked the shell for, and the footer goes only into a folder that
// still exists: making the folder again would set its access list, and the
// security functions load libraries of their own. Without the folder there
// is no file whose period the footer could close.
TLogState::~TLogState() {
  try {
    if (LogMode != lmOff && LogStarted && platform::FolderExists(LogFolderPathOf(*this))) WriteLogFooterOf(*this);
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
