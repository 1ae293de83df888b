// A log file held by another writer: a short wait, then a clear failure.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "common/LogAppend.h"
#include "common/LogState.h"
#include "common/Text.h"
#include "unit/log/LogFileHolder.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

class LogBusyFile : public LogTest::TLogSandbox {
protected:
  void SetUp() override {
    TLogSandbox::SetUp();
    SetLogMode(lmAll);
    WriteLog(u"before", u"", llInfo);  // the header and the file exist
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> Result;
    for (const std::string& Line : LogTest::ReadLines(TodaysFile()))
      if (Line.rfind("2026", 0) == 0) Result.push_back(Line.substr(Line.rfind('\t') + 1));
    return Result;
  }
};

TEST_F(LogBusyFile, FailsAfterTheRetryWindowAndWorksOnceReleased) {
  LogTest::TLogFileHolder Holder(TodaysFile());
  const auto Start = std::chrono::steady_clock::now();
  try {
    WriteLog(u"held", u"", llError);
    FAIL() << "a held file must fail";
  } catch (const Exception& E) {
    EXPECT_NE(ToUtf8(E.Message()).find("held by another program"), std::string::npos) << E.what();
    EXPECT_NE(E.Message().find(TodaysFile().filename().u16string()), std::u16string::npos) << E.what();
  }
  const auto Waited = std::chrono::steady_clock::now() - Start;
  EXPECT_GE(Waited, kLogBusyRetryWindow);
  EXPECT_LT(Waited, std::chrono::seconds(10)) << "the write gives up";

  Holder.Release();
  WriteLog(u"after", u"", llInfo);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"before", "after"}));
}

TEST_F(LogBusyFile, ReleaseWithinTheRetryWindowLosesNoLine) {
  auto Holder = std::make_unique<LogTest::TLogFileHolder>(TodaysFile());
  // The file is released as soon as the write has been refused once, so the
  // write only succeeds by trying again.
  std::atomic<unsigned>& Refusals = LogState().BusyRefusals;
  const unsigned Before = Refusals;
  std::atomic<bool> Written{false};
  std::thread Releaser([&] {
    while (Refusals == Before && !Written) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Holder->Release();
  });
  EXPECT_NO_THROW(WriteLog(u"waited", u"", llInfo));
  Written = true;
  Releaser.join();
  EXPECT_GT(Refusals, Before);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"before", "waited"}));
}

TEST_F(LogBusyFile, HeldFileAlsoFailsTheFooterWithoutLosingThePeriod) {
  {
    LogTest::TLogFileHolder Holder(TodaysFile());
    EXPECT_THROW(SetLogMode(lmOff), Exception);
    EXPECT_TRUE(LogStarted());
  }
  SetLogMode(lmOff);
  EXPECT_EQ(LogTest::ReadLines(TodaysFile()).back(), "");
}

}  // namespace
