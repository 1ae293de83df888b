// Eight threads writing ten thousand lines each into the day's log file:
// afterwards the file holds one header and every line exactly once, whole,
// and each thread's lines in the order it wrote them.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/Common.Log.h"
#include "common/Text.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

constexpr int kThreads = 8;
constexpr int kLinesPerThread = 10000;

using LogLoad = LogTest::TLogSandbox;

// "thread T line N" with its details, or nothing for a line of another shape.
struct TParsed {
  int Thread = -1;
  int Number = -1;
};

TParsed Parse(const std::string& ALine) {
  static const std::string Prefix = "2026.12.07 09:05:03.007\tDEBUG\tthread ";
  static const std::string Details = ": \tpayload-with-some-length-to-make-torn-writes-visible";
  TParsed Result;
  if (ALine.rfind(Prefix, 0) != 0 || ALine.size() <= Prefix.size() + Details.size() ||
      ALine.compare(ALine.size() - Details.size(), Details.size(), Details) != 0)
    return Result;
  const std::string Middle = ALine.substr(Prefix.size(), ALine.size() - Prefix.size() - Details.size());
  const std::size_t Space = Middle.find(" line ");
  if (Space == std::string::npos) return Result;
  char* End = nullptr;
  const long Thread = std::strtol(Middle.c_str(), &End, 10);
  if (End != Middle.c_str() + Space) return Result;
  const char* NumberText = Middle.c_str() + Space + 6;
  const long Number = std::strtol(NumberText, &End, 10);
  if (*End != '\0' || End == NumberText) return Result;
  return {static_cast<int>(Thread), static_cast<int>(Number)};
}

TEST_F(LogLoad, EightThreadsTenThousandLinesEachNoneTornNoneLost) {
  SetLogMode(lmAll);
  std::atomic<int> Ready{0};
  std::vector<std::thread> Threads;
  for (int T = 0; T < kThreads; ++T) {
    Threads.emplace_back([T, &Ready] {
      ++Ready;
      while (Ready < kThreads) std::this_thread::yield();
      for (int N = 0; N < kLinesPerThread; ++N)
        WriteLog(u"thread " + IntToText(T) + u" line " + IntToText(N),
                 u"payload-with-some-length-to-make-torn-writes-visible", llDebug);
    });
  }
  for (std::thread& Thread : Threads) Thread.join();
  SetLogMode(lmOff);

  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_EQ(Lines.size(), 6u + kThreads * kLinesPerThread + 2u) << "header, the lines, footer and empty line";
  EXPECT_EQ(Lines[1], "============Start log=============");
  EXPECT_EQ(Lines[Lines.size() - 2], "============Stop log===============");
  std::vector<int> Next(kThreads, 0);  // the number each thread's next line must carry
  int Bad = 0;
  for (std::size_t I = 6; I < Lines.size() - 2; ++I) {
    const TParsed Line = Parse(Lines[I]);
    if (Line.Thread < 0 || Line.Thread >= kThreads || Line.Number != Next[static_cast<std::size_t>(Line.Thread)]) {
      if (++Bad <= 5) ADD_FAILURE() << "line " << I + 1 << " torn, lost or out of order: " << Lines[I];
      continue;
    }
    ++Next[static_cast<std::size_t>(Line.Thread)];
  }
  EXPECT_EQ(Bad, 0);
  for (int T = 0; T < kThreads; ++T) EXPECT_EQ(Next[static_cast<std::size_t>(T)], kLinesPerThread) << "thread " << T;
}

}  // namespace
