#include "common/LogAppend.h"

#include <mutex>
#include <thread>

#include "common/Exception.h"
#include "common/LogFileName.h"
#include "common/LogState.h"
#include "common/Text.h"
#include "platform/FileAppend.h"

namespace Common::Log {

namespace {

constexpr std::chrono::milliseconds kRetryPause{5};

// Another process of the platform with this driver, or a reader that keeps
// writers out for a moment, must not make an equipment call fail: retry for
// a short while, then report the file as held.
void AppendWithRetry(TLogState& AState, const std::u16string& AFileName, std::string_view ABytes) {
  const auto Deadline = std::chrono::steady_clock::now() + kLogBusyRetryWindow;
  while (platform::TryAppendToFile(AFileName, ABytes) == platform::TAppendResult::arBusy) {
    ++AState.BusyRefusals;
    if (std::chrono::steady_clock::now() >= Deadline)
      throw Exception(u"Cannot write the log file " + AFileName + u": it is held by another program");
    std::this_thread::sleep_for(kRetryPause);
  }
}

}  // namespace

void AppendLogLine(TLogState& AState, std::u16string_view AText, const platform::TLocalTime& ATime) {
  const std::u16string FileName = LogFileNameOf(AState, false, ATime);
  std::string Bytes = ToUtf8(AText);
  Bytes += "\r\n";
  std::lock_guard Lock(AState.LogLock);
  AppendWithRetry(AState, FileName, Bytes);
}

}  // namespace Common::Log
