#include "common/Common.Log.h"

#include <atomic>
#include <mutex>

#include "common/LogAppend.h"
#include "common/LogFileName.h"
#include "common/LogFilter.h"
#include "common/LogHeader.h"
#include "common/LogLine.h"
#include "common/LogState.h"
#include "platform/Folders.h"

namespace Common::Log {

constinit std::atomic<std::uint8_t> detail::AdmittedLevels{0};

namespace {

// What LogAdmits reads while AMode is the mode.
void SetAdmittedLevels(TLogMode AMode) noexcept {
  std::uint8_t Levels = 0;
  for (const TLogLevel Level : {llInfo, llDebug, llError})
    if (LogModeAdmits(AMode, Level)) Levels |= static_cast<std::uint8_t>(1u << Level);
  detail::AdmittedLevels = Levels;
}

// A log folder of another user is refused once, with its reason, and the
// log is off from then on: the driver's calls go on without it. No footer:
// nothing more is written there.
void SwitchOffForeign(TLogState& AState) noexcept {
  AState.LogMode = lmOff;
  AState.LogStarted = false;
  SetAdmittedLevels(lmOff);
}

}  // namespace

void WriteLog(std::u16string_view AMessage, std::u16string_view ADetails, TLogLevel ALevel) {
  // Refused messages cost one load, without the lock.
  if (!LogAdmits(ALevel)) return;
  TLogState& State = LogState();
  // Asked again under the lock: a period closed meanwhile by another thread
  // gets no line after its footer.
  std::lock_guard Lock(State.LogLock);
  if (!LogModeAdmits(State.LogMode, ALevel)) return;
  try {
    WriteLogHeaderOf(State);
    // One reading of the clock names both the line's time and its file.
    const platform::TLocalTime Now = State.Now();
    AppendLogLine(State, FormatLogLine(Now, AMessage, ADetails, ALevel), Now);
  } catch (const platform::TForeignFolder&) {
    SwitchOffForeign(State);
    throw;
  }
}

void WriteLogAlways(std::u16string_view AMessage, std::u16string_view ADetails, TLogLevel ALevel) {
  TLogState& State = LogState();
  std::lock_guard Lock(State.LogLock);
  if (LogModeAdmits(State.LogMode, ALevel)) return WriteLog(AMessage, ADetails, ALevel);
  // Back to the mode before (switching off again writes the footer) also
  // when the line cannot be written.
  struct TRestore {
    TLogMode Mode;
    ~TRestore() {
      try {
        SetLogMode(Mode);
      } catch (...) {
      }
    }
  } Restore{State.LogMode};
  State.LogMode = lmAll;
  SetAdmittedLevels(lmAll);
  WriteLog(AMessage, ADetails, ALevel);
}

void SetLogMode(TLogMode AMode) {
  TLogState& State = LogState();
  std::lock_guard Lock(State.LogLock);
  if (State.LogMode != lmOff && AMode == lmOff) {
    // Still in the old mode, so that a period with a header gets its footer.
    try {
      WriteLogFooterOf(State);
    } catch (const platform::TForeignFolder&) {
      SwitchOffForeign(State);
      throw;
    }
    State.LogStarted = false;
  }
  State.LogMode = AMode;
  SetAdmittedLevels(AMode);
}

TLogMode LogMode() { return LogState().LogMode; }

bool LogStarted() { return LogState().LogStarted; }

void SetLogName(std::u16string AName) { LogState().SetLogName(std::move(AName)); }

std::u16string LogName() { return LogState().LogName(); }

std::u16string GetLogFileName(bool AFolderOnly) {
  TLogState& State = LogState();
  return LogFileNameOf(State, AFolderOnly, State.Now());
}

void WriteLogHeader() { WriteLogHeaderOf(LogState()); }

void WriteLogFooter() { WriteLogFooterOf(LogState()); }

}  // namespace Common::Log
