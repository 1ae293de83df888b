// Logging periods: the header block before the first line of a period, the
// footer when it ends, and the change of file at midnight.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>

#include "common/Common.Log.h"
#include "common/Text.h"
#include "platform/Module.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

using LogPeriod = LogTest::TLogSandbox;

const std::string kSpaces40(40, ' ');

std::string ModuleFileNamePart() {
  const std::filesystem::path Module(platform::ModuleLongFileName());
  return ToUtf8(Module.filename().u16string());
}

std::string ExpectedVersion() {
  const platform::TFileVersion V = platform::FileVersionOf(u"");
  char Text[64];
  std::snprintf(Text, sizeof Text, "%d.%d.%d.%d", V.Major, V.Minor, V.Release, V.Build);
  return Text;
}

int CountOf(const std::vector<std::string>& ALines, const std::string& AText) {
  return static_cast<int>(std::count(ALines.begin(), ALines.end(), AText));
}

TEST_F(LogPeriod, FirstLineIsPrecededByTheSixHeaderLines) {
  SetLogMode(lmAll);
  EXPECT_FALSE(LogStarted());
  WriteLog(u"first", u"", llInfo);
  WriteLog(u"second", u"", llInfo);
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_EQ(Lines.size(), 8u);
  EXPECT_EQ(Lines[0], kSpaces40);
  EXPECT_EQ(Lines[1], "============Start log=============");
  EXPECT_TRUE(std::regex_match(Lines[2], std::regex("OS version:\t.+ \\(\\d+\\.\\d+\\.\\d+\\)"))) << Lines[2];
  EXPECT_EQ(Lines[3], "Application:\t" + ModuleFileNamePart());
  EXPECT_EQ(Lines[4], "App. version:\t" + ExpectedVersion());
  EXPECT_EQ(Lines[5], kSpaces40);
  EXPECT_EQ(Lines[6], "2026.12.07 09:05:03.007\tINFO\tfirst");
  EXPECT_EQ(Lines[7], "2026.12.07 09:05:03.007\tINFO\tsecond");
  EXPECT_TRUE(LogStarted());
}

TEST_F(LogPeriod, EndsWithFooterAndEmptyLineAndStartsAgainWithHeader) {
  SetLogMode(lmAll);
  WriteLog(u"one", u"", llInfo);
  SetLogMode(lmOff);
  EXPECT_FALSE(LogStarted());
  const std::string AfterFirst = LogTest::ReadBytes(TodaysFile());
  ASSERT_GE(AfterFirst.size(), 39u);
  EXPECT_EQ(AfterFirst.substr(AfterFirst.size() - 39), "============Stop log===============\r\n\r\n");

  SetLogMode(lmAll);
  WriteLog(u"two", u"", llInfo);
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  EXPECT_EQ(CountOf(Lines, "============Start log============="), 2);
  EXPECT_EQ(CountOf(Lines, "============Stop log==============="), 1);
  EXPECT_EQ(Lines.back(), "2026.12.07 09:05:03.007\tINFO\ttwo");
}

TEST_F(LogPeriod, WritesNothingWhenNoLineWasWritten) {
  SetLogMode(lmAll);
  SetLogMode(lmErrors);  // from one mode to another: still the same period
  SetLogMode(lmOff);
  SetLogMode(lmOff);
  WriteLogFooter();
  WriteLogHeader();
  EXPECT_FALSE(std::filesystem::exists(LogFolder()));
}

TEST_F(LogPeriod, ModeChangeWithoutOffKeepsThePeriod) {
  SetLogMode(lmAll);
  WriteLog(u"a", u"", llInfo);
  SetLogMode(lmErrors);
  WriteLog(u"b", u"", llError);
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  EXPECT_EQ(CountOf(Lines, "============Start log============="), 1);
  EXPECT_EQ(CountOf(Lines, "============Stop log==============="), 0);
}

TEST_F(LogPeriod, FirstLineAfterMidnightGoesToANewFileWithoutHeader) {
  SetLogMode(lmAll);
  LogTest::FixedTime = {2026, 12, 31, 23, 59, 59, 999};
  WriteLog(u"old year", u"", llInfo);
  LogTest::FixedTime = {2027, 1, 1, 0, 0, 0, 0};
  WriteLog(u"new year", u"", llInfo);
  SetLogMode(lmOff);

  const std::vector<std::string> Old = LogTest::ReadLines(FileOf(2026, 12, 31));
  ASSERT_EQ(Old.size(), 7u);
  EXPECT_EQ(Old[6], "2026.12.31 23:59:59.999\tINFO\told year");
  EXPECT_EQ(LogTest::ReadLines(FileOf(2027, 1, 1)),
            (std::vector<std::string>{"2027.01.01 00:00:00.000\tINFO\tnew year", "============Stop log===============",
                                      ""}));
}

}  // namespace
