#pragma once
// A file held by another writer for as long as this object lives (or until
// Release): on Linux a child process that holds the file's exclusive lock;
// on Windows a handle that denies write sharing (the system refuses every
// other writer's open alike, whichever process holds the handle).
#include <filesystem>
#include <memory>

namespace FaultTest {

class THeldFile {
public:
  explicit THeldFile(const std::filesystem::path& AFile);
  ~THeldFile();
  THeldFile(const THeldFile&) = delete;
  THeldFile& operator=(const THeldFile&) = delete;

  void Release() noexcept;

private:
  struct THolder;
  std::unique_ptr<THolder> FHolder;
};

}  // namespace FaultTest
