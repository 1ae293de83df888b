#pragma once
// The program's arguments as UTF-8, whatever the system's own encoding of
// the command line: a --message in Russian or a file path with Cyrillic
// letters arrives intact on Windows too.
#include <string>
#include <vector>

namespace quorvel_tags {

std::vector<std::string> Utf8Arguments(int AArgc, char** AArgv);

}  // namespace quorvel_tags
