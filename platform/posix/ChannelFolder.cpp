#include "platform/posix/ChannelFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::posix {

namespace {

// A folder of this user, not a link, that nobody else can enter; one that
// the user made with a wider mode is narrowed.
bool PrivateFolder(const std::string& APath, bool ACreate) {
  if (ACreate && mkdir(APath.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat Info {};
  if (lstat(APath.c_str(), &Info) != 0 || !S_ISDIR(Info.st_mode) || Info.st_uid != getuid()) return false;
  if ((Info.st_mode & 077) != 0) return ACreate && chmod(APath.c_str(), 0700) == 0;
  return true;
}

}  // namespace

std::optional<std::string> ChannelFolder(bool ACreate) {
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  std::string Folder;
  if (Runtime != nullptr && Runtime[0] == '/' && PrivateFolder(Runtime, false))
    Folder = std::string(Runtime) + "/quorvel";
  else
    Folder = "/tmp/quorvel-" + std::to_string(getuid());
  if (!PrivateFolder(Folder, ACreate)) return std::nullopt;
  return Folder;
}

std::string ChannelSocketName(pid_t AProcess, unsigned ANumber) {
  return std::to_string(AProcess) + "-" + std::to_string(ANumber) + ".sock";
}

std::optional<std::string> ChannelIdOfName(std::string_view AName, pid_t* AProcess) {
  constexpr std::string_view Suffix = ".sock";
  if (AName.size() <= Suffix.size() || AName.substr(AName.size() - Suffix.size()) != Suffix) return std::nullopt;
  const std::string_view Id = AName.substr(0, AName.size() - Suffix.size());
  const std::size_t Dash = Id.find('-');
  if (Dash == 0 || Dash == std::string_view::npos || Dash + 1 == Id.size() || Id.size() > 24) return std::nullopt;
  long long Process = 0;
  for (std::size_t I = 0; I < Id.size(); ++I) {
    if (I == Dash) continue;
    if (Id[I] < '0' || Id[I] > '9') return std::nullopt;
    if (I < Dash) Process = Process * 10 + (Id[I] - '0');
  }
  if (Process <= 0 || Process > 0x7FFFFFFF) return std::nullopt;
  if (AProcess != nullptr) *AProcess = static_cast<pid_t>(Process);
  return std::string(Id);
}

}  // namespace platform::posix
