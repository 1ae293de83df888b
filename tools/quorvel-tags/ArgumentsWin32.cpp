#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "common/Text.h"
#include "quorvel-tags/Arguments.h"

namespace quorvel_tags {

namespace {

struct TLocalFree {
  void operator()(LPWSTR* AArgs) const noexcept { LocalFree(AArgs); }
};

}  // namespace

// The system's wide command line, split as the C runtime splits it; the
// narrow arguments only when the system gives none.
std::vector<std::string> Utf8Arguments(int AArgc, char** AArgv) {
  int Count = 0;
  const std::unique_ptr<LPWSTR, TLocalFree> Wide(CommandLineToArgvW(GetCommandLineW(), &Count));
  if (!Wide || Count != AArgc)
    return AArgc > 1 ? std::vector<std::string>(AArgv + 1, AArgv + AArgc) : std::vector<std::string>{};
  std::vector<std::string> Result;
  for (int I = 1; I < Count; ++I) Result.push_back(ToUtf8(FromWide(Wide.get()[I])));
  return Result;
}

}  // namespace quorvel_tags
