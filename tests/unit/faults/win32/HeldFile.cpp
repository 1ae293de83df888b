#include "unit/faults/HeldFile.h"

#include <windows.h>

#include <stdexcept>

namespace FaultTest {

struct THeldFile::THolder {
  HANDLE File = INVALID_HANDLE_VALUE;
};

// Readers are let in, writers are not: the log's append asks for write
// access and gets a sharing violation.
THeldFile::THeldFile(const std::filesystem::path& AFile) : FHolder(new THolder) {
  FHolder->File = CreateFileW(AFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FHolder->File == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + AFile.string());
}

THeldFile::~THeldFile() { Release(); }

void THeldFile::Release() noexcept {
  if (FHolder->File != INVALID_HANDLE_VALUE) CloseHandle(FHolder->File);
  FHolder->File = INVALID_HANDLE_VALUE;
}

}  // namespace FaultTest
