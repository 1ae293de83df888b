// The fault sweeps run the demonstration session from a list of their own;
// the script that prints the session (Linux only: it needs bash and
// xmllint) must print the same calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "unit/faults/DemoSession.h"

TEST(DemoSessionScript, PrintsTheCallsTheSweepsRun) {
  ASSERT_EQ(std::system("command -v xmllint >/dev/null 2>&1"), 0) << "xmllint is not installed (tools/setup.sh installs it)";
  const std::string Command = "bash '" QUORVEL_SOURCE_DIR "/tools/demo-session.sh'";
  std::FILE* Pipe = popen(Command.c_str(), "r");
  ASSERT_NE(Pipe, nullptr);
  std::vector<std::string> Calls;
  std::string Line;
  for (int C = std::fgetc(Pipe); C != EOF; C = std::fgetc(Pipe)) {
    if (C != '\n') {
      Line += static_cast<char>(C);
      continue;
    }
    // Captions are for the reader of the output, not calls.
    if (!Line.empty() && Line.rfind(":echo", 0) != 0) Calls.push_back(Line);
    Line.clear();
  }
  ASSERT_EQ(pclose(Pipe), 0);
  EXPECT_EQ(Calls, FaultTest::DemoSessionLines());
}
