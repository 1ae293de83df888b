// Which levels each mode writes, and that a refused message touches nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Common.Log.h"
#include "common/LogFilter.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

struct TAdmitsRow {
  TLogMode Mode;
  bool Info, Debug, Error;
};
constexpr TAdmitsRow kAdmitsRows[] = {{lmOff, false, false, false},
                                      {lmErrors, false, false, true},
                                      {lmInfoErrors, true, false, true},
                                      {lmAll, true, true, true}};

TEST(LogFilterTable, AdmitsLevelsPerMode) {
  for (const TAdmitsRow& Row : kAdmitsRows) {
    SCOPED_TRACE(static_cast<int>(Row.Mode));
    EXPECT_EQ(LogModeAdmits(Row.Mode, llInfo), Row.Info);
    EXPECT_EQ(LogModeAdmits(Row.Mode, llDebug), Row.Debug);
    EXPECT_EQ(LogModeAdmits(Row.Mode, llError), Row.Error);
  }
}

using LogFilter = LogTest::TLogSandbox;

TEST_F(LogFilter, WritesOnlyAdmittedLevels) {
  SetLogMode(lmInfoErrors);
  WriteLog(u"info", u"", llInfo);
  WriteLog(u"debug", u"", llDebug);
  WriteLog(u"error", u"", llError);
  SetLogMode(lmErrors);
  WriteLog(u"info2", u"", llInfo);
  WriteLog(u"error2", u"", llError);
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  std::vector<std::string> Messages;
  for (std::size_t I = 6; I < Lines.size(); ++I)
    if (Lines[I].rfind("2026", 0) == 0) Messages.push_back(Lines[I].substr(Lines[I].rfind('\t') + 1));
  EXPECT_EQ(Messages, (std::vector<std::string>{"info", "error", "error2"}));
}

// The question the trace asks before composing a line follows the mode set,
// also back to off after a line written whatever the mode.
TEST_F(LogFilter, LogAdmitsFollowsTheMode) {
  for (const TAdmitsRow& Row : kAdmitsRows) {
    SCOPED_TRACE(static_cast<int>(Row.Mode));
    SetLogMode(Row.Mode);
    EXPECT_EQ(LogAdmits(llInfo), Row.Info);
    EXPECT_EQ(LogAdmits(llDebug), Row.Debug);
    EXPECT_EQ(LogAdmits(llError), Row.Error);
  }
  SetLogMode(lmOff);
  WriteLogAlways(u"always", u"", llError);
  EXPECT_FALSE(LogAdmits(llDebug));
  EXPECT_FALSE(LogAdmits(llError));
}

TEST_F(LogFilter, RefusedMessagesCreateNoFolder) {
  WriteLog(u"off", u"details", llError);
  SetLogMode(lmErrors);
  WriteLog(u"debug", u"", llDebug);
  WriteLog(u"info", u"", llInfo);
  EXPECT_FALSE(std::filesystem::exists(LogFolder()));
  EXPECT_FALSE(LogStarted());
}

}  // namespace
