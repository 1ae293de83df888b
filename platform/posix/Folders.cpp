#include "platform/Folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace {

std::string HomeFolder() {
  if (const char* Home = std::getenv("HOME"); Home != nullptr && *Home == '/') return Home;
  std::vector<char> Buffer(16384);
  passwd Entry{};
  passwd* Found = nullptr;
  if (getpwuid_r(getuid(), &Entry, Buffer.data(), Buffer.size(), &Found) == 0 && Found != nullptr &&
      Found->pw_dir != nullptr && *Found->pw_dir == '/')
    return Found->pw_dir;
  return {};
}

}  // namespace

bool IsPathDelimiter(char16_t AChar) noexcept { return AChar == u'/'; }

// The per-user data folder of the XDG base-directory rules: $XDG_DATA_HOME
// when it is an absolute path, else ~/.local/share.
std::u16string CommonAppDataFolder() {
  std::string Folder;
  if (const char* Xdg = std::getenv("XDG_DATA_HOME"); Xdg != nullptr && *Xdg == '/') {
    Folder = Xdg;
  } else {
    const std::string Home = HomeFolder();
    if (Home.empty())
      throw Exception(u"The application-data folder is not available: neither XDG_DATA_HOME nor the home folder is set");
    Folder = Home + "/.local/share";
  }
  if (Folder.back() != '/') Folder += '/';
  return ToUtf16(Folder);
}

bool FolderExists(const std::u16string& AFolder) {
  struct stat Info{};
  return stat(ToUtf8(AFolder).c_str(), &Info) == 0 && S_ISDIR(Info.st_mode);
}

// The data folder is the user's own: what this creates only its user may
// enter (as the base-directory rules ask of the folders under it).
bool MakeOneFolder(const std::u16string& AFolder) {
  if (mkdir(ToUtf8(AFolder).c_str(), 0700) == 0) return true;
  const int Error = errno;
  if (Error == EEXIST && FolderExists(AFolder)) return false;
  RaiseOSError(u"Cannot create the folder " + AFolder, static_cast<unsigned long>(Error));
}

// The log folder lies in the user's own data folder, so no other user is
// let in: the folder keeps the private mode it was created with.
void GrantEveryoneFullAccess(const std::u16string&) {}

// Earlier versions made the log folder writable by everyone, and anyone may
// have made it before this user did: another user who can write into it
// can plant files (a FIFO that blocks every write, a file they can read) in
// the place of the day's log. The folder is opened once, without following
// a link, and judged and narrowed through that one opening.
void CheckOwnFolder(const std::u16string& AFolder) {
  std::string Name = ToUtf8(AFolder);
  // A trailing slash would make the open follow a link after all.
  while (Name.size() > 1 && Name.back() == '/') Name.pop_back();
  const int Folder = open(Name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (Folder < 0) RaiseOSError(u"Cannot open the folder " + AFolder, static_cast<unsigned long>(errno));
  struct stat Info{};
  const bool Read = fstat(Folder, &Info) == 0;
  const int Error = errno;
  const bool Foreign = Read && Info.st_uid != geteuid();
  const bool Narrowed = !Read || Foreign || (Info.st_mode & 022) == 0 || fchmod(Folder, 0700) == 0;
  const int NarrowError = errno;
  close(Folder);
  if (!Read) RaiseOSError(u"Cannot read the folder " + AFolder, static_cast<unsigned long>(Error));
  if (Foreign)
    throw TForeignFolder(u"The folder " + AFolder + u" belongs to another user (uid " + IntToText(static_cast<long long>(Info.st_uid)) +
                         u"), so the log is not written there and is switched off; remove the folder or give it to this user");
  if (!Narrowed) RaiseOSError(u"Cannot close the folder " + AFolder + u" to other users", static_cast<unsigned long>(NarrowError));
}

}  // namespace platform
