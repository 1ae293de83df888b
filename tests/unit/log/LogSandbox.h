#pragma once
// A fixture that gives each log test a log of its own: logging off, a unique
// LogName, a settable clock, and (where the system allows it) a private data
// folder. Everything is put back and removed afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Common.Log.h"
#include "common/LogClock.h"

namespace LogTest {

// The clock installed by the fixture reads this value.
extern platform::TLocalTime FixedTime;
platform::TLocalTime FixedClock();

// Points the common data folder at a fresh temporary folder, named
// AFolderName inside a unique one, where the system allows it (Linux), and
// restores the previous setting on destruction.
class TDataFolderOverride {
public:
  explicit TDataFolderOverride(const std::string& AFolderName = "data");
  ~TDataFolderOverride();
  TDataFolderOverride(const TDataFolderOverride&) = delete;
  TDataFolderOverride& operator=(const TDataFolderOverride&) = delete;

private:
  struct TSaved;
  std::unique_ptr<TSaved> FSaved;
};

class TLogSandbox : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // The log folder, computed without touching the file system.
  std::filesystem::path LogFolder() const;
  std::filesystem::path FileOf(int AYear, int AMonth, int ADay) const;
  std::filesystem::path TodaysFile() const { return FileOf(FixedTime.Year, FixedTime.Month, FixedTime.Day); }

  std::u16string FName;

private:
  std::optional<TDataFolderOverride> FDataFolder;
  std::u16string FSavedName;
  Common::Log::TLogClock FSavedClock = nullptr;
};

std::string ReadBytes(const std::filesystem::path& AFile);
// The file's content split at CR LF (a trailing empty piece is dropped).
std::vector<std::string> ReadLines(const std::filesystem::path& AFile);

}  // namespace LogTest
