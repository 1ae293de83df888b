#include "platform/Module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "common/Text.h"

namespace platform {

namespace {

// Any object of this module: dladdr names the file that holds it.
const char kModuleAnchor = 0;

std::string ResolvedPath(const char* APath) {
  std::unique_ptr<char, decltype(&std::free)> Resolved(realpath(APath, nullptr), &std::free);
  return Resolved ? std::string(Resolved.get()) : std::string();
}

std::string ExecutablePath() {
  char Buffer[PATH_MAX];
  const ssize_t Length = readlink("/proc/self/exe", Buffer, sizeof Buffer);
  return Length > 0 ? std::string(Buffer, static_cast<std::size_t>(Length)) : std::string();
}

}  // namespace

std::u16string ModuleLongFileName() {
  Dl_info Info{};
  std::string Path;
  if (dladdr(&kModuleAnchor, &Info) != 0 && Info.dli_fname != nullptr && *Info.dli_fname != '\0')
    Path = ResolvedPath(Info.dli_fname);
  // The main program may be reported by its bare invocation name.
  if (Path.empty()) Path = ExecutablePath();
  return ToUtf16(Path);
}

// Only this module carries a version here: the one it was built with.
TFileVersion FileVersionOf(const std::u16string& AFileName) {
  if (!AFileName.empty() && AFileName != ModuleLongFileName()) return {};
  return {QUORVEL_VERSION_MAJOR, QUORVEL_VERSION_MINOR, QUORVEL_VERSION_RELEASE, QUORVEL_VERSION_BUILD};
}

}  // namespace platform
