#include "common/LogLine.h"

#include <cstdio>

#include "common/LogFilter.h"

namespace Common::Log {

namespace {

std::u16string AsciiToText(const char* AText, int ALength) {
  return ALength > 0 ? std::u16string(AText, AText + ALength) : std::u16string();
}

}  // namespace

std::u16string_view TrimLogText(std::u16string_view AText) noexcept {
  while (!AText.empty() && AText.front() <= u' ') AText.remove_prefix(1);
  while (!AText.empty() && AText.back() <= u' ') AText.remove_suffix(1);
  return AText;
}

std::u16string FormatLogDate(const platform::TLocalTime& ATime) {
  char Buffer[64];
  const int Length = std::snprintf(Buffer, sizeof Buffer, "%04d.%02d.%02d", ATime.Year, ATime.Month, ATime.Day);
  return AsciiToText(Buffer, Length);
}

std::u16string FormatLogTimestamp(const platform::TLocalTime& ATime, std::u16string_view ATimeSeparator) {
  char Date[64];
  const int DateLength = std::snprintf(Date, sizeof Date, "%04d.%02d.%02d %02d", ATime.Year, ATime.Month, ATime.Day,
                                       ATime.Hour);
  char Minute[8];
  const int MinuteLength = std::snprintf(Minute, sizeof Minute, "%02d", ATime.Minute);
  char Second[16];
  const int SecondLength = std::snprintf(Second, sizeof Second, "%02d.%03d", ATime.Second, ATime.Millisecond);
  std::u16string Text = AsciiToText(Date, DateLength);
  Text += ATimeSeparator;
  Text += AsciiToText(Minute, MinuteLength);
  Text += ATimeSeparator;
  Text += AsciiToText(Second, SecondLength);
  return Text;
}

std::u16string FormatLogLine(const platform::TLocalTime& ATime, std::u16string_view AMessage,
                             std::u16string_view ADetails, TLogLevel ALevel) {
  std::u16string Line = FormatLogTimestamp(ATime, platform::TimeSeparator());
  Line.reserve(Line.size() + AMessage.size() + ADetails.size() + 16);
  Line += u'\t';
  Line += LogLevelWord(ALevel);
  Line += u'\t';
  Line += TrimLogText(AMessage);
  if (!ADetails.empty()) {
    Line += u": \t";
    Line += TrimLogText(ADetails);
  }
  return Line;
}

}  // namespace Common::Log
