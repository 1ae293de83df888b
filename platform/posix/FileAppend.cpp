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
// planted there cannot send the log into another file. The open does not
// wait (a FIFO in the file's place would otherwise hold it up).
int OpenForAppend(const std::string& AName) {
  constexpr int Flags = O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  for (int Attempt = 0; Attempt < 3; ++Attempt) {
    const int Created = open(AName.c_str(), Flags | O_CREAT | O_EXCL, 0600);
    if (Created >= 0) return Created;
    if (errno != EEXIST) break;
    const int Existing = open(AName.c_str(), Flags);
    if (Existing >= 0 || errno != ENOENT) return Existing;
    // Removed between the two calls: try to create it again.
  }
  return -1;
}

// What was opened must be what it seems: a plain file of this user with no
// other name (a FIFO would block the writes for good, a hard link would
// write into a file elsewhere). It is then kept from other users and
// written with waiting writes again.
void RequireOwnPlainFile(int AFd, const std::u16string& AFileName) {
  struct stat Info{};
  if (fstat(AFd, &Info) != 0) RaiseOSError(u"Cannot read the file " + AFileName, static_cast<unsigned long>(errno));
  const char16_t* Fault = !S_ISREG(Info.st_mode)        ? u"it is not a plain file"
                          : Info.st_uid != geteuid()    ? u"it belongs to another user"
                          : Info.st_nlink != 1          ? u"it has other names (hard links)"
                                                        : nullptr;
  if (Fault != nullptr) throw Exception(u"Cannot write the file " + AFileName + u": " + Fault);
  if ((Info.st_mode & 07777) != 0600 && fchmod(AFd, 0600) != 0)
    RaiseOSError(u"Cannot close the file " + AFileName + u" to other users", static_cast<unsigned long>(errno));
  const int Flags = fcntl(AFd, F_GETFL);
  if (Flags < 0 || fcntl(AFd, F_SETFL, Flags & ~O_NONBLOCK) != 0)
    RaiseOSError(u"Cannot open the file " + AFileName, static_cast<unsigned long>(errno));
}

}  // namespace

// The exclusive flock belongs to this open file description and is released
// when it is closed, so a writer that dies never leaves the file locked.
TAppendResult TryAppendToFile(const std::u16string& AFileName, std::string_view ABytes) {
  TFileDescriptor File(OpenForAppend(ToUtf8(AFileName)));
  if (File.Get() < 0) RaiseOSError(u"Cannot open the file " + AFileName, static_cast<unsigned long>(errno));
  RequireOwnPlainFile(File.Get(), AFileName);
  while (flock(File.Get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return TAppendResult::arBusy;
    RaiseOSError(u"Cannot lock the file " + AFileName, static_cast<unsigned long>(errno));
  }
  WriteAll(File.Get(), ABytes, AFileName);
  return TAppendResult::arDone;
}

}  // namespace platform
