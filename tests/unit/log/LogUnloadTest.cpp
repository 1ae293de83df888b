// When the module unloads with a logging period open, a log folder removed
// meanwhile is not made again (the closing line itself: LogFolderPosixTest).
#include <gtest/gtest.h>

#include <filesystem>

#include "common/LogState.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

class LogStateUnload : public LogTest::TLogSandbox {
protected:
  // A log state like the module's, in the middle of a logging period.
  std::unique_ptr<TLogState> OpenPeriod() {
    auto State = std::make_unique<TLogState>();
    State->SetLogName(FName);
    State->Clock = &LogTest::FixedClock;
    State->LogMode = lmAll;
    State->LogStarted = true;
    return State;
  }
};

TEST_F(LogStateUnload, DoesNotMakeARemovedFolderAgain) {
  auto State = OpenPeriod();
  ASSERT_FALSE(std::filesystem::exists(LogFolder()));
  State.reset();
  EXPECT_FALSE(std::filesystem::exists(LogFolder()));
}

}  // namespace
