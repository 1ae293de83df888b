#include "platform/posix/ChannelFolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <random>
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

// The runtime folder of the session when it is the user's alone.
std::optional<std::string> RuntimeFolder() {
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  if (Runtime == nullptr || Runtime[0] != '/' || !PrivateFolder(Runtime, false)) return std::nullopt;
  return std::string(Runtime) + "/quorvel";
}

// Else the user's cache folder, per host: a home folder shared by several
// computers holds the sockets of each apart (another host's processes are
// not this one's to judge).
std::optional<std::string> HomeFolder(bool ACreate) {
  std::string Cache;
  if (const char* Xdg = std::getenv("XDG_CACHE_HOME"); Xdg != nullptr && Xdg[0] == '/')
    Cache = Xdg;
  else if (const char* Home = std::getenv("HOME"); Home != nullptr && Home[0] == '/')
    Cache = std::string(Home) + "/.cache";
  else
    return std::nullopt;
  if (ACreate) mkdir(Cache.c_str(), 0700);  // usually there already
  char Host[HOST_NAME_MAX + 1] = {};
  if (gethostname(Host, sizeof(Host) - 1) != 0 || Host[0] == '\0') std::snprintf(Host, sizeof(Host), "localhost");
  return Cache + "/quorvel-" + Host;
}

}  // namespace

std::optional<std::string> ChannelFolder(bool ACreate) {
  std::optional<std::string> Folder = RuntimeFolder();
  if (!Folder) Folder = HomeFolder(ACreate);
  if (!Folder || !PrivateFolder(*Folder, ACreate)) return std::nullopt;
  return Folder;
}

std::string ChannelSocketName(pid_t AProcess, unsigned ANumber) {
  char Random[9];
  std::snprintf(Random, sizeof(Random), "%08x", static_cast<unsigned>(std::random_device()()));
  return std::to_string(AProcess) + "-" + std::to_string(ANumber) + "-" + Random + ".sock";
}

// "<process id>-<number>-<random>", or "<process id>-<number>" of earlier
// versions: the process id, a dash, then digits, dashes and lower-case hex.
std::optional<std::string> ChannelIdOfName(std::string_view AName, pid_t* AProcess) {
  constexpr std::string_view Suffix = ".sock";
  if (AName.size() <= Suffix.size() || AName.substr(AName.size() - Suffix.size()) != Suffix) return std::nullopt;
  const std::string_view Id = AName.substr(0, AName.size() - Suffix.size());
  const std::size_t Dash = Id.find('-');
  if (Dash == 0 || Dash == std::string_view::npos || Dash + 1 == Id.size() || Id.size() > 40) return std::nullopt;
  long long Process = 0;
  for (std::size_t I = 0; I < Dash; ++I) {
    if (Id[I] < '0' || Id[I] > '9' || Dash > 10) return std::nullopt;
    Process = Process * 10 + (Id[I] - '0');
  }
  for (const char C : Id.substr(Dash + 1))
    if (!((C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || C == '-')) return std::nullopt;
  if (Process <= 0 || Process > 0x7FFFFFFF) return std::nullopt;
  if (AProcess != nullptr) *AProcess = static_cast<pid_t>(Process);
  return std::string(Id);
}

}  // namespace platform::posix
