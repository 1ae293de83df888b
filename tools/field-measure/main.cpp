// Measures, against a live reader of a built add-in library, what adding many
// SGTIN tags with the control tool costs: the add end to end (the tool's
// command line in, every command answered), the longest single dispatch of
// the thread that serves the reader's window meanwhile, and GetDataTagsRFID
// on the field that results. The tool runs in this process, as v8host's
// ":tags" does, and this thread pumps the window system while the tool
// waits for the reader, as the platform's own message loop would. With
// --tool the add is the built quorvel-tags program in a process of its own,
// as a test suite runs it, timed from its start to its exit.
//
//   field_measure LIBRARY [--tags N] [--gtin GTIN] [--runs K] [--tool QUORVEL-TAGS]
//
// Defaults: 10,000 tags of GTIN 4650071550247 (serials 1-N), 3 runs, each
// on an emptied field. Prints one line per run and exits 1 when the tool
// failed or the table did not hold the N tags. Linux: on a display (Xvfb);
// Windows: tools/wine-run.sh build/win32/tools/field-measure/field_measure.exe build/win32/quorvel.dll
#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "quorvel-tags/Tool.h"
#include "v8host/Component.h"
#include "v8host/Library.h"
#include "v8host/Pump.h"

using TClock = std::chrono::steady_clock;

namespace {

struct TOptions {
  std::string Library;
  long Tags = 10000;
  std::string Gtin = "4650071550247";
  int Runs = 3;
  std::string Tool;  // empty: the tool in this process
};

double Ms(TClock::duration ATook) { return std::chrono::duration<double, std::milli>(ATook).count(); }

bool ParseOptions(int argc, char** argv, TOptions& AOptions) {
  for (int I = 1; I < argc; ++I) {
    const std::string Arg = argv[I];
    const bool HasValue = I + 1 < argc;
    if (Arg == "--tags" && HasValue)
      AOptions.Tags = std::stol(argv[++I]);
    else if (Arg == "--gtin" && HasValue)
      AOptions.Gtin = argv[++I];
    else if (Arg == "--runs" && HasValue)
      AOptions.Runs = std::stoi(argv[++I]);
    else if (Arg == "--tool" && HasValue)
      AOptions.Tool = argv[++I];
    else if (AOptions.Library.empty() && Arg.rfind("--", 0) != 0)
      AOptions.Library = Arg;
    else
      return false;
  }
  return !AOptions.Library.empty() && AOptions.Tags >= 1 && AOptions.Runs >= 1;
}

// The control tool in this process, speaking to this process's reader; the
// thread's windows are served while it waits for each answer.
bool RunTool(const std::string& AArgs, v8host::TPumpStats& AStats) {
  std::ostringstream Out;
  const int Status =
      quorvel_tags::RunTagToolLine(AArgs, Out, [&] { v8host::PumpMessages(std::chrono::milliseconds(0), &AStats); });
  if (Status != 0) std::cerr << "quorvel-tags " << AArgs << ":\n" << Out.str();
  return Status == 0;
}

// The tool as a program of its own; this thread's windows are served until
// it exits. Answers its exit status, or -1 when it could not be started.
int RunToolProgram(const std::string& ATool, const std::vector<std::string>& AArgs, v8host::TPumpStats& AStats) {
#if defined(_WIN32)
  std::wstring Line = L"\"" + std::wstring(ATool.begin(), ATool.end()) + L"\"";
  for (const std::string& Arg : AArgs) Line += L" " + std::wstring(Arg.begin(), Arg.end());
  STARTUPINFOW Startup{};
  Startup.cb = sizeof(Startup);
  PROCESS_INFORMATION Process{};
  if (!CreateProcessW(nullptr, Line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &Process))
    return -1;
  CloseHandle(Process.hThread);
  while (WaitForSingleObject(Process.hProcess, 0) == WAIT_TIMEOUT)
    v8host::PumpMessages(std::chrono::milliseconds(1), &AStats);
  DWORD Status = 0;
  GetExitCodeProcess(Process.hProcess, &Status);
  CloseHandle(Process.hProcess);
  return static_cast<int>(Status);
#else
  std::vector<std::string> Words{ATool};
  Words.insert(Words.end(), AArgs.begin(), AArgs.end());
  std::vector<char*> Argv;
  for (std::string& Word : Words) Argv.push_back(Word.data());
  Argv.push_back(nullptr);
  pid_t Child = 0;
  if (posix_spawn(&Child, ATool.c_str(), nullptr, nullptr, Argv.data(), environ) != 0) return -1;
  int Status = 0;
  pid_t Ended = 0;
  while ((Ended = waitpid(Child, &Status, WNOHANG)) == 0) v8host::PumpMessages(std::chrono::milliseconds(1), &AStats);
  return Ended == Child && WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
#endif
}

std::size_t TagsIn(const std::u16string& ATable) {
  std::size_t Count = 0;
  for (auto At = ATable.find(u"<Tag "); At != std::u16string::npos; At = ATable.find(u"<Tag ", At + 1)) ++Count;
  return Count;
}

bool MeasureOnce(v8host::TComponent& AComponent, const TOptions& AOptions, int ARun) {
  v8host::TPumpStats Cleared;
  if (!RunTool("clear", Cleared)) return false;
  v8host::TPumpStats Stats;
  const auto Started = TClock::now();
  const std::string Serials = "1-" + std::to_string(AOptions.Tags);
  const bool Added =
      AOptions.Tool.empty()
          ? RunTool("add --sgtin " + AOptions.Gtin + " --serials " + Serials, Stats)
          : RunToolProgram(AOptions.Tool, {"add", "--sgtin", AOptions.Gtin, "--serials", Serials}, Stats) == 0;
  const auto AddTook = TClock::now() - Started;
  if (!Added) return false;
  // Whatever the add left queued for the windows is part of its cost too.
  v8host::PumpMessages(std::chrono::milliseconds(20), &Stats);

  const auto ReadStarted = TClock::now();
  const v8host::TCallResult Read = AComponent.CallAsFunc(
      u"GetDataTagsRFID", {v8host::TValue::Empty(), v8host::TValue::Text16(u""), v8host::TValue::Empty()});
  const auto ReadTook = TClock::now() - ReadStarted;
  const std::size_t Count = Read.Ok && Read.Result.Bool ? TagsIn(Read.Params.at(2).Text) : 0;
  std::printf("run %d: add of %ld tags %.1f ms end to end; longest dispatch %.2f ms of %zu; "
              "GetDataTagsRFID %.2f ms, %zu tags\n",
              ARun, AOptions.Tags, Ms(AddTook), Ms(Stats.Longest), Stats.Dispatches, Ms(ReadTook), Count);
  if (Count != static_cast<std::size_t>(AOptions.Tags)) {
    std::cerr << "the table holds " << Count << " tags, not " << AOptions.Tags << "\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions Options;
  bool Parsed = false;
  try {
    Parsed = ParseOptions(argc, argv, Options);
  } catch (const std::exception&) {  // a count that is no number
  }
  if (!Parsed) {
    std::cerr << "usage: field_measure LIBRARY [--tags N] [--gtin GTIN] [--runs K] [--tool QUORVEL-TAGS]\n";
    return 2;
  }
  try {
    const v8host::TAddinLibrary Library = v8host::TAddinLibrary::Load(Options.Library);
    v8host::THost Host;
    v8host::TComponent Component(Library, Host, u"quorvel");
    if (!Component.Call(u"Open", {v8host::TValue::Empty()}).Ok) throw std::runtime_error("Open failed");
    v8host::PumpMessages(std::chrono::milliseconds(200));  // the window shown and painted
    bool Ok = true;
    for (int Run = 1; Run <= Options.Runs && Ok; ++Run) Ok = MeasureOnce(Component, Options, Run);
    Component.Call(u"Close", {v8host::TValue::Empty()});
    return Ok ? 0 : 1;
  } catch (const std::exception& E) {
    std::cerr << "field_measure: " << E.what() << "\n";
    return 1;
  }
}
