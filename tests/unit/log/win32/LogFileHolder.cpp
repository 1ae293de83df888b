#include "unit/log/LogFileHolder.h"

#include <windows.h>

#include <stdexcept>

namespace LogTest {

// Others may read while this handle is open, but nobody may write.
TLogFileHolder::TLogFileHolder(const std::filesystem::path& AFile) {
  HANDLE File = CreateFileW(AFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (File == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + AFile.string());
  FHandle = File;
}

TLogFileHolder::~TLogFileHolder() { Release(); }

void TLogFileHolder::Release() noexcept {
  if (FHandle != nullptr) CloseHandle(FHandle);
  FHandle = nullptr;
}

}  // namespace LogTest
