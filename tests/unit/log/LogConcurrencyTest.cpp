// Many threads logging at once: one header, every line whole.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/Common.Log.h"
#include "common/Text.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

using LogConcurrency = LogTest::TLogSandbox;

TEST_F(LogConcurrency, EightThreadsWriteOneHeaderAndWholeLines) {
  constexpr int kThreads = 8;
  constexpr int kLinesPerThread = 2000;
  SetLogMode(lmAll);
  std::atomic<int> Ready{0};
  std::vector<std::thread> Threads;
  for (int T = 0; T < kThreads; ++T) {
    Threads.emplace_back([T, &Ready] {
      // Start together, so that several threads open the period at once.
      ++Ready;
      while (Ready < kThreads) std::this_thread::yield();
      for (int N = 0; N < kLinesPerThread; ++N)
        WriteLog(u"thread " + IntToText(T) + u" line " + IntToText(N), u"payload payload payload", llDebug);
    });
  }
  for (std::thread& Thread : Threads) Thread.join();

  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_EQ(Lines.size(), 6u + kThreads * kLinesPerThread);
  EXPECT_EQ(Lines[1], "============Start log=============");
  std::set<std::string> Seen;
  for (std::size_t I = 6; I < Lines.size(); ++I) {
    const std::string& Line = Lines[I];
    const std::string Prefix = "2026.12.07 09:05:03.007\tDEBUG\tthread ";
    const std::string Suffix = ": \tpayload payload payload";
    ASSERT_EQ(Line.rfind(Prefix, 0), 0u) << Line;
    ASSERT_GT(Line.size(), Prefix.size() + Suffix.size()) << Line;
    ASSERT_EQ(Line.substr(Line.size() - Suffix.size()), Suffix) << Line;
    Seen.insert(Line.substr(Prefix.size(), Line.size() - Prefix.size() - Suffix.size()));
  }
  EXPECT_EQ(Seen.size(), static_cast<std::size_t>(kThreads * kLinesPerThread));
}

}  // namespace
