#include "quorvel-tags/Arguments.h"

namespace quorvel_tags {

// The arguments are UTF-8 already.
std::vector<std::string> Utf8Arguments(int AArgc, char** AArgv) {
  return AArgc > 1 ? std::vector<std::string>(AArgv + 1, AArgv + AArgc) : std::vector<std::string>{};
}

}  // namespace quorvel_tags
