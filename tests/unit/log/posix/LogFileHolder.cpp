#include "unit/log/LogFileHolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <stdexcept>

namespace LogTest {

// A second open file description of the same file: flock treats it as
// another writer even inside this process.
TLogFileHolder::TLogFileHolder(const std::filesystem::path& AFile) {
  FDescriptor = open(AFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (FDescriptor < 0 || flock(FDescriptor, LOCK_EX | LOCK_NB) != 0) {
    Release();
    throw std::runtime_error("cannot lock " + AFile.string());
  }
}

TLogFileHolder::~TLogFileHolder() { Release(); }

void TLogFileHolder::Release() noexcept {
  if (FDescriptor >= 0) close(FDescriptor);
  FDescriptor = -1;
}

}  // namespace LogTest
