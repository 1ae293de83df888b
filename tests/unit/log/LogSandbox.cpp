#include "unit/log/LogSandbox.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "common/Text.h"
#include "platform/Folders.h"

namespace LogTest {

platform::TLocalTime FixedTime{2026, 12, 7, 9, 5, 3, 7};

platform::TLocalTime FixedClock() { return FixedTime; }

namespace {

// The log folder under the common data folder, as the log names it.
std::filesystem::path DataFolder() { return std::filesystem::path(platform::CommonAppDataFolder()); }

std::u16string UniqueLogName() {
  const auto* Info = ::testing::UnitTest::GetInstance()->current_test_info();
  return u"qvlogtest_" + ToUtf16(Info->test_suite_name()) + u"_" + ToUtf16(Info->name());
}

}  // namespace

void TLogSandbox::SetUp() {
  // Close whatever period a previous user of the log left open.
  Common::Log::SetLogMode(Common::Log::lmOff);
  FDataFolder.emplace();
  FSavedName = Common::Log::LogName();
  FName = UniqueLogName();
  Common::Log::SetLogName(FName);
  FSavedClock = Common::Log::SetLogClock(&FixedClock);
  FixedTime = {2026, 12, 7, 9, 5, 3, 7};
  std::error_code Ignored;
  std::filesystem::remove_all(LogFolder(), Ignored);
}

void TLogSandbox::TearDown() {
  Common::Log::SetLogMode(Common::Log::lmOff);
  std::error_code Ignored;
  std::filesystem::remove_all(LogFolder(), Ignored);
  Common::Log::SetLogClock(FSavedClock);
  Common::Log::SetLogName(FSavedName);
  FDataFolder.reset();
}

std::filesystem::path TLogSandbox::LogFolder() const { return DataFolder() / "Halvessa" / std::filesystem::path(FName); }

std::filesystem::path TLogSandbox::FileOf(int AYear, int AMonth, int ADay) const {
  char Date[32];
  std::snprintf(Date, sizeof Date, "_%04d.%02d.%02d.log", AYear, AMonth, ADay);
  return LogFolder() / std::filesystem::path(FName + ToUtf16(Date));
}

std::string ReadBytes(const std::filesystem::path& AFile) {
  std::ifstream In(AFile, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

std::vector<std::string> ReadLines(const std::filesystem::path& AFile) {
  const std::string Bytes = ReadBytes(AFile);
  std::vector<std::string> Lines;
  std::size_t Start = 0;
  while (Start < Bytes.size()) {
    const std::size_t End = Bytes.find("\r\n", Start);
    if (End == std::string::npos) {
      Lines.push_back(Bytes.substr(Start));
      break;
    }
    Lines.push_back(Bytes.substr(Start, End - Start));
    Start = End + 2;
  }
  return Lines;
}

}  // namespace LogTest
