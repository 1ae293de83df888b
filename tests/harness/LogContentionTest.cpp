// Several processes of the platform logging into the one day's file at once,
// as every user's client does on a terminal server: each append waits for
// the others, so every line lands whole, none is lost and no call fails.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "AddinFixture.h"
#include "HarnessPaths.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kProcesses = 8;
constexpr int kCallsPerProcess = 600;

// Under Wine the tool is started through cmd.exe, which needs DOS paths.
std::string NativePath(std::string APath) {
#if defined(_WIN32)
  if (!APath.empty() && APath[0] == '/') APath = "Z:" + APath;
  for (char& c : APath)
    if (c == '/') c = '\\';
#endif
  return APath;
}

std::string Quoted(const std::string& APath) { return "\"" + NativePath(APath) + "\""; }

FILE* Start(const std::string& ACommand) {
#if defined(_WIN32)
  return _popen(("\"" + ACommand + "\"").c_str(), "rb");  // cmd /c strips one pair of quotes
#else
  return popen(ACommand.c_str(), "r");
#endif
}

int Finish(FILE* AProcess) {
#if defined(_WIN32)
  return _pclose(AProcess);
#else
  const int Status = pclose(AProcess);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
#endif
}

std::string ReadFile(const std::string& AName) {
  std::ifstream In(AName, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

// A line the log writes: a timestamped line, or a line of a period's header
// or footer block.
bool IsWholeLogLine(const std::string& ALine) {
  if (ALine.empty() || ALine == std::string(40, ' ')) return true;
  for (const char* Fixed : {"============Start log=============", "============Stop log===============",
                            "OS version:\t", "Application:\t", "App. version:\t"})
    if (ALine.rfind(Fixed, 0) == 0) return true;
  // yyyy.mm.dd hh:nn:ss.zzz, then a TAB and the level word.
  if (ALine.size() < 30 || ALine[4] != '.' || ALine[7] != '.' || ALine[10] != ' ' || ALine[19] != '.' ||
      ALine[23] != '\t')
    return false;
  return ALine.compare(24, 6, "DEBUG\t") == 0 || ALine.compare(24, 5, "INFO\t") == 0 ||
         ALine.compare(24, 6, "ERROR\t") == 0;
}

TEST(LogContention, SeveralProcessesAppendWholeLinesAndNoCallFails) {
  const char* Base = std::getenv("ProgramData");
  if (Base == nullptr) Base = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(Base, nullptr) << "no data folder to log into";
  const std::time_t Now = std::time(nullptr);
  char Date[16];
  std::strftime(Date, sizeof Date, "%Y.%m.%d", std::localtime(&Now));
  const std::string LogFile = std::string(Base) + "/Halvessa/quorvel/quorvel_" + Date + ".log";
  std::error_code Error;
  const auto Before = fs::exists(LogFile, Error) ? fs::file_size(LogFile) : 0u;

  std::vector<std::string> Outputs;
  std::vector<FILE*> Running;
  for (int P = 0; P < kProcesses; ++P) {
    const std::string Script = ::testing::TempDir() + "log-contention-" + std::to_string(P) + ".txt";
    Outputs.push_back(Script + ".out");
    {
      std::ofstream File(Script, std::ios::binary);
      File << "LogEnabled=true\n";
      for (int N = 0; N < kCallsPerProcess; ++N)
        File << "SetParameter(\"EPC1\", \"<" << P << "-" << N << ">\")\n";
    }
    const std::string Command = Quoted(harness::HostToolPath()) + " --script " + Quoted(Script) + " " +
                                Quoted(harness::AddinPath()) + " quorvel > " + Quoted(Outputs.back()) + " 2>&1";
    FILE* Process = Start(Command);
    ASSERT_NE(Process, nullptr) << Command;
    Running.push_back(Process);
  }
  for (std::size_t P = 0; P < Running.size(); ++P) {
    const int Status = Finish(Running[P]);
    const std::string Output = ReadFile(Outputs[P]);
    EXPECT_EQ(Status, 0) << "process " << P << ":\n" << Output.substr(0, 2000);
  }

  const std::string Text = ReadFile(LogFile);
  ASSERT_GT(Text.size(), Before);
  std::map<std::string, int> Seen;
  std::size_t Start = Before;
  while (Start < Text.size()) {
    std::size_t End = Text.find("\r\n", Start);
    ASSERT_NE(End, std::string::npos) << "the file ends inside a line";
    const std::string Line = Text.substr(Start, End - Start);
    EXPECT_TRUE(IsWholeLogLine(Line)) << Line;
    // The traced parameters: "...Params: [EPC1; <P-N>]".
    if (const std::size_t Open = Line.find("; <"); Open != std::string::npos)
      ++Seen[Line.substr(Open + 3, Line.find(">]", Open) - Open - 3)];
    Start = End + 2;
  }
  // Each call is traced when it enters and when it leaves.
  for (int P = 0; P < kProcesses; ++P)
    for (int N = 0; N < kCallsPerProcess; ++N)
      EXPECT_EQ(Seen[std::to_string(P) + "-" + std::to_string(N)], 2) << P << "-" << N;
}

}  // namespace
