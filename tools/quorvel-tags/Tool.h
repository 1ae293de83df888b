#pragma once
// quorvel-tags, the control tool of the emulated readers: the command line,
// the answers and the exit statuses (RunTagTool is the whole program; v8host
// runs it for its ":tags" directive too).
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace quorvel_tags {

enum TExitStatus {
  xsDone = 0,
  xsRefused = 1,        // the reader refused the command, or the channel failed
  xsUsage = 2,
  xsNoReader = 3,
  xsSeveralReaders = 4,  // and no --reader
  xsUnknownReader = 5,
  xsTagRange = 6,
  xsTimeout = 7,
};

int RunTagTool(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr,
               const std::function<void()>& AWhileWaiting = {});

// The same with the arguments in one line, separated by spaces (a host's
// ":tags present 3 5"); answers and failures go to AOut, indented. Without
// --reader the host's own reader is meant, when it has exactly one.
int RunTagToolLine(const std::string& AArgs, std::ostream& AOut, const std::function<void()>& AWhileWaiting = {});

}  // namespace quorvel_tags
