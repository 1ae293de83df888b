// From loading the built library to its first object (with its hidden tag
// window), and on to an opened device showing its eight barcodes, as the
// platform does it: dlopen, then the exports and the component's tables.
//
// A library loaded once stays in its process (its C++ unique symbols keep
// dlclose from unloading it), so each measurement runs in a child process
// of its own, which times itself from just before the load and reports the
// time through a pipe; the fork is not counted.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "v8host/Component.h"
#include "v8host/Host.h"
#include "v8host/Library.h"

namespace {

enum class TLoadStage { lsFirstObject, lsOpened };

// What the child sends back: the seconds it took, or why it could not.
struct TLoadReport {
  double Seconds = 0;
  char Failure[200] = {};
};

bool HasDisplay() {
  const char* X = std::getenv("DISPLAY");
  const char* Wayland = std::getenv("WAYLAND_DISPLAY");
  return (X != nullptr && *X != 0) || (Wayland != nullptr && *Wayland != 0);
}

TLoadReport MeasureHere(TLoadStage AStage) {
  TLoadReport Report;
  const auto Fail = [&Report](const std::string& AWhy) {
    std::strncpy(Report.Failure, AWhy.c_str(), sizeof Report.Failure - 1);
    return Report;
  };
  try {
    const auto Start = std::chrono::steady_clock::now();
    const auto Library = v8host::TAddinLibrary::Load(QUORVEL_ADDIN_PATH);
    // A window layer on a real toolkit needs a display; the headless one
    // does not. Which one the library carries shows in what it brought in.
    if (dlopen("libgtk-3.so.0", RTLD_NOW | RTLD_NOLOAD) != nullptr && !HasDisplay())
      return Fail("the library's window layer needs a display (DISPLAY or WAYLAND_DISPLAY); skipped");
    v8host::THost Host;
    v8host::TComponent Component(Library, Host, u"quorvel");
    if (AStage == TLoadStage::lsOpened && !Component.Call(u"Open", {v8host::TValue::Empty()}).Ok)
      return Fail("Open failed");
    Report.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  } catch (const std::exception& E) {
    return Fail(E.what());
  }
  return Report;
}

TLoadReport MeasureInChild(TLoadStage AStage) {
  int Pipe[2];
  if (pipe(Pipe) != 0) return {0, "pipe failed"};
  const pid_t Child = fork();
  if (Child < 0) {
    close(Pipe[0]);
    close(Pipe[1]);
    return {0, "fork failed"};
  }
  if (Child == 0) {
    close(Pipe[0]);
    const TLoadReport Report = MeasureHere(AStage);
    const bool Sent = write(Pipe[1], &Report, sizeof Report) == static_cast<ssize_t>(sizeof Report);
    // No unload, no static destructors: the measurement is over.
    _exit(Sent ? 0 : 1);
  }
  close(Pipe[1]);
  TLoadReport Report;
  const bool Received = read(Pipe[0], &Report, sizeof Report) == static_cast<ssize_t>(sizeof Report);
  close(Pipe[0]);
  int Status = 0;
  waitpid(Child, &Status, 0);
  if (!Received) return {0, "the measuring process ended without a report"};
  return Report;
}

void Run(benchmark::State& AState, TLoadStage AStage) {
  for (auto _ : AState) {
    const TLoadReport Report = MeasureInChild(AStage);
    if (Report.Failure[0] != 0) {
      AState.SkipWithError(Report.Failure);
      break;
    }
    AState.SetIterationTime(Report.Seconds);
  }
}

void LoadToFirstObject(benchmark::State& AState) { Run(AState, TLoadStage::lsFirstObject); }
BENCHMARK(LoadToFirstObject)->UseManualTime()->Unit(benchmark::kMillisecond);

void LoadToOpenedDevice(benchmark::State& AState) { Run(AState, TLoadStage::lsOpened); }
BENCHMARK(LoadToOpenedDevice)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
