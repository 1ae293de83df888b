#pragma once
// Holds a log file the way a second writer would: Windows, a handle that
// denies write sharing; elsewhere, an exclusive advisory lock.
#include <filesystem>

namespace LogTest {

class TLogFileHolder {
public:
  explicit TLogFileHolder(const std::filesystem::path& AFile);
  ~TLogFileHolder();
  TLogFileHolder(const TLogFileHolder&) = delete;
  TLogFileHolder& operator=(const TLogFileHolder&) = delete;

  void Release() noexcept;

private:
  void* FHandle = nullptr;
  int FDescriptor = -1;
};

}  // namespace LogTest
