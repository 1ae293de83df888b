#pragma once
// The log's process-wide state, created on first use (the driver's load-time
// registration may log before any other static object exists) and destroyed
// when the module unloads, closing an open logging period with its footer.
#include <atomic>
#include <mutex>
#include <string>

#include "common/Common.Log.h"
#include "common/LogClock.h"

namespace Common::Log {

class TLogState {
public:
  TLogState() = default;
  ~TLogState();
  TLogState(const TLogState&) = delete;
  TLogState& operator=(const TLogState&) = delete;

  // Serialises every append, and the header's check-and-write with it.
  // Recursive: the header and footer are appended while it is held.
  std::recursive_mutex LogLock;
  std::atomic<TLogMode> LogMode{lmOff};
  std::atomic<bool> LogStarted{false};
  std::atomic<TLogClock> Clock{nullptr};
  // How often a write found the file held by another writer, counted so
  // that a test can release the file once a write has been refused.
  std::atomic<unsigned> BusyRefusals{0};
  const std::u16string LogCompanyFolder{u"Halvessa"};

  // The installed clock's time, else the system's local time.
  platform::TLocalTime Now() const;

  std::u16string LogName() const;
  void SetLogName(std::u16string AName);

private:
  mutable std::mutex FNameLock;
  std::u16string FLogName;
};

TLogState& LogState();

}  // namespace Common::Log
