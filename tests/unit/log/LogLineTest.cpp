// What one log line looks like in the file, byte for byte.
#include <gtest/gtest.h>

#include "common/Common.Log.h"
#include "common/LogLine.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

class LogLine : public LogTest::TLogSandbox {
protected:
  // The file's bytes after the six header lines.
  std::string LinesAfterHeader() {
    const std::string Bytes = LogTest::ReadBytes(TodaysFile());
    std::size_t Pos = 0;
    for (int Line = 0; Line < 6; ++Line) Pos = Bytes.find("\r\n", Pos) + 2;
    return Bytes.substr(Pos);
  }
};

TEST_F(LogLine, IsTimestampLevelMessageAndDetailsEndingInCrLf) {
  SetLogMode(lmAll);
  WriteLog(u"  Open\r\n", u"\tPort=3 ", llInfo);
  EXPECT_EQ(LinesAfterHeader(), "2026.12.07 09:05:03.007\tINFO\tOpen: \tPort=3\r\n");
}

TEST_F(LogLine, CarriesTheLevelWordAndPadsEveryTimeField) {
  SetLogMode(lmAll);
  LogTest::FixedTime = {2027, 1, 2, 23, 4, 5, 60};
  WriteLog(u"a", u"", llDebug);
  WriteLog(u"b", u"", llError);
  EXPECT_EQ(LinesAfterHeader(), "2027.01.02 23:04:05.060\tDEBUG\ta\r\n2027.01.02 23:04:05.060\tERROR\tb\r\n");
}

TEST(LogTimestamp, JoinsTheTimeFieldsWithTheRegionalSeparator) {
  const platform::TLocalTime Time{2026, 12, 7, 9, 5, 3, 7};
  EXPECT_EQ(FormatLogTimestamp(Time, u"."), u"2026.12.07 09.05.03.007");
  EXPECT_EQ(FormatLogTimestamp(Time, u":"), u"2026.12.07 09:05:03.007");
}

TEST_F(LogLine, DetailsSeparatorDependsOnTheUntrimmedDetails) {
  SetLogMode(lmAll);
  WriteLog(u"no details", u"", llInfo);
  WriteLog(u"blank details", u"   ", llInfo);
  WriteLog(u" \x01\x1F", u"\r\n", llInfo);
  EXPECT_EQ(LinesAfterHeader(),
            "2026.12.07 09:05:03.007\tINFO\tno details\r\n"
            "2026.12.07 09:05:03.007\tINFO\tblank details: \t\r\n"
            "2026.12.07 09:05:03.007\tINFO\t: \t\r\n");
}

TEST_F(LogLine, KeepsInnerLineBreaksAndWritesUtf8WithoutByteOrderMark) {
  SetLogMode(lmAll);
  WriteLog(u"Ошибка\r\nвторая строка\n", u"x\u00A0", llError);
  const std::string Bytes = LogTest::ReadBytes(TodaysFile());
  ASSERT_GE(Bytes.size(), 3u);
  EXPECT_NE(Bytes.substr(0, 3), "\xEF\xBB\xBF");
  // U+00A0 is above the space and stays.
  EXPECT_EQ(LinesAfterHeader(),
            "2026.12.07 09:05:03.007\tERROR\t\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0\r\n"
            "\xD0\xB2\xD1\x82\xD0\xBE\xD1\x80\xD0\xB0\xD1\x8F \xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0: \tx\xC2\xA0\r\n");
}

TEST(LogLineText, TrimsEveryCharacterUpToTheSpaceAtBothEnds) {
  EXPECT_EQ(TrimLogText(std::u16string_view(u"\x00\x01 \t a b \r\n\x1F", 12)), u"a b");
  EXPECT_EQ(TrimLogText(u" \t\r\n"), u"");
  EXPECT_EQ(TrimLogText(u"!x!"), u"!x!");
}

}  // namespace
