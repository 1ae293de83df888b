#include "common/LogHeader.h"

#include <cstdio>
#include <mutex>

#include "common/LogAppend.h"
#include "common/LogFileName.h"
#include "common/LogState.h"
#include "platform/Module.h"
#include "platform/OsVersion.h"

namespace Common::Log {

namespace {

// A function, not a static object: the header may be wanted while static
// objects are still being constructed.
std::u16string BlankLine() { return std::u16string(40, u' '); }

std::u16string VersionText(const platform::TFileVersion& AVersion) {
  char Buffer[64];
  const int Length = std::snprintf(Buffer, sizeof Buffer, "%d.%d.%d.%d", AVersion.Major, AVersion.Minor,
                                   AVersion.Release, AVersion.Build);
  return Length > 0 ? std::u16string(Buffer, Buffer + Length) : std::u16string();
}

}  // namespace

std::u16string LogHeaderText() {
  std::u16string Text = BlankLine();
  Text += u"\r\n============Start log=============";
  Text += u"\r\nOS version:\t" + platform::OSVersionText();
  Text += u"\r\nApplication:\t" + LogFileNamePart(platform::ModuleLongFileName());
  Text += u"\r\nApp. version:\t" + VersionText(platform::FileVersionOf(u""));
  Text += u"\r\n" + BlankLine();
  return Text;
}

// The check and the write run under LogLock, so that two threads opening a
// period at the same moment write a single header.
void WriteLogHeaderOf(TLogState& AState) {
  if (AState.LogMode == lmOff || AState.LogStarted) return;
  std::lock_guard Lock(AState.LogLock);
  if (AState.LogMode == lmOff || AState.LogStarted) return;
  AppendLogLine(AState, LogHeaderText(), AState.Now());
  AState.LogStarted = true;
}

void WriteLogFooterOf(TLogState& AState) {
  std::lock_guard Lock(AState.LogLock);
  if (AState.LogMode != lmOff && AState.LogStarted) AppendLogLine(AState, kLogFooterText, AState.Now());
}

}  // namespace Common::Log
