#pragma once
// Where the built add-in and the v8host tool are, as the build placed them.
#include <string>

namespace harness {

inline std::string AddinPath() { return QUORVEL_ADDIN_PATH; }
inline std::string HostToolPath() { return V8HOST_TOOL_PATH; }

}  // namespace harness
