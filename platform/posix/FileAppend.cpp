#include "platform/FileAppend.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace {

class TFileDescriptor {
public:
  explicit TFileDescriptor(int AFd) noexcept : FFd(AFd) {}
  ~TFileDescriptor() {
    if (FFd >= 0) close(FFd);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const noexcept { return FFd; }

private:
  int FFd;
};

void WriteAll(int AFd, std::string_view ABytes, const std::u16string& AFileName) {
  while (!ABytes.empty()) {
    const ssize_t Written = write(AFd, ABytes.data(), ABytes.size());
    if (Written < 0) {
      if (errno == EINTR) continue;
      RaiseOSError(u"Cannot write the file " + AFileName, static_cast<unsigned long>(errno));
    }
    // Success without progress would repeat for ever.
    if (Written == 0) throw Exception(u"Cannot write the file " + AFileName + u": the system wrote nothing");
    ABytes.remove_prefix(static_cast<std::size_t>(Written));
  }
}

// Opens the file for appending. A file this call creates is the user's
// alone (the log lies in the user's own data folder). A symbolic link in
// the file's place is never followed: the open fails instead, so a link
// planted there cannot send the log into another file.
int OpenForAppend(const std::u16string& AFileName) {
  const std::string Name = ToUtf8(AFileName);
  for (int Attempt = 0; Attempt < 3; ++Attempt) {
    const int Created = open(Name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Created >= 0) return Created;
    if (errno != EEXIST) break;
    const int Existing = open(Name.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (Existing >= 0 || errno != ENOENT) return Existing;
    // Removed between the two calls: try to create it again.
  }
  return -1;
}

}  // namespace

// The exclusive flock belongs to this open file description and is released
// when it is closed, so a writer that dies never leaves the file locked.
TAppendResult TryAppendToFile(const std::u16string& AFileName, std::string_view ABytes) {
  TFileDescriptor File(OpenForAppend(AFileName));
  if (File.Get() < 0) RaiseOSError(u"Cannot open the file " + AFileName, static_cast<unsigned long>(errno));
  while (flock(File.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return TAppendResult::arBusy;
    RaiseOSError(u"Cannot lock the file " + AFileName, static_cast<unsigned long>(errno));
  }
  WriteAll(File.Get(), ABytes, AFileName);
  return TAppendResult::arDone;
}

}  // namespace platform
