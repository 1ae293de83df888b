// Measures the log viewer on the thread it runs on, with the build's window
// layer: how long opening a log of short trace lines takes until the window
// is shown and painted, and how long each timer tick takes while the log
// grows by a fixed amount per tick. Prints one line per figure.
//
//   logview_measure [--sizes KB,KB,...] [--follow-size KB] [--ticks N] [--growth KB]
//                   [--whole-sizes KB,KB,...]
//
// Defaults: sizes 10,100,250,500,2048,5120,51200; following a 51200 KB log
// for 10 ticks of 10 KB. --whole-sizes also times putting a whole file of
// each size into the text box at once, decoded, as the viewer once did on
// every load and on every tick of a changed file (none by default). Under Wine: tools/wine-run.sh build/win32/tools/logview-measure/logview_measure.exe
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "common/ufmLog.h"
#include "platform/TextFile.h"
#include "platform/ui/Form.h"
#include "platform/ui/Controls.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <psapi.h>
#endif

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

namespace {

// CPU time of the calling thread in ms: what the viewer costs its thread,
// whatever else the machine is busy with.
double ThreadCpuMs() {
#ifdef _WIN32
  FILETIME Creation, Exit, Kernel, User;
  if (!GetThreadTimes(GetCurrentThread(), &Creation, &Exit, &Kernel, &User)) return 0;
  const auto Ticks = [](const FILETIME& T) { return (static_cast<std::uint64_t>(T.dwHighDateTime) << 32) | T.dwLowDateTime; };
  return static_cast<double>(Ticks(Kernel) + Ticks(User)) / 1e4;
#else
  timespec T{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
  return static_cast<double>(T.tv_sec) * 1e3 + static_cast<double>(T.tv_nsec) / 1e6;
#endif
}

// Wall and thread CPU time since its creation.
struct TStopwatch {
  TClock::time_point Wall = TClock::now();
  double Cpu = ThreadCpuMs();
  std::string Text() const {
    char Buffer[96];
    std::snprintf(Buffer, sizeof Buffer, "%.1f ms (thread CPU %.1f ms)",
                  std::chrono::duration<double, std::milli>(TClock::now() - Wall).count(), ThreadCpuMs() - Cpu);
    return Buffer;
  }
  double CpuMs() const { return ThreadCpuMs() - Cpu; }
};

// Peak memory of this process in MB, where the system tells it.
double PeakMemoryMb() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS Counters{};
  if (GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters))
    return static_cast<double>(Counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
#endif
  return -1;
}

// Trace lines as the driver writes them, about 100 bytes each.
class TTraceWriter {
public:
  explicit TTraceWriter(fs::path AFile) : FFile(std::move(AFile)) {}
  void Append(std::uint64_t ABytes) {
    std::ofstream Out(FFile, std::ios::binary | std::ios::app);
    std::string Chunk;
    while (Chunk.size() < ABytes) {
      Chunk += "2026-12-09 10:15:" + std::to_string(10 + FLine % 50) + ".123\tDEBUG\t> GetDataTagsRFID: \tParams: [" +
               std::to_string(FLine) + "; ; ]\r\n";
      ++FLine;
      if (Chunk.size() > (1u << 20)) {
        Out << Chunk;
        ABytes -= Chunk.size();
        Chunk.clear();
      }
    }
    Out << Chunk;
  }

private:
  fs::path FFile;
  std::uint64_t FLine = 0;
};

std::vector<std::uint64_t> ParseList(const char* AText) {
  std::vector<std::uint64_t> Result;
  std::string Item;
  for (const char* P = AText;; ++P) {
    if (*P == ',' || *P == 0) {
      if (!Item.empty()) Result.push_back(std::stoull(Item));
      Item.clear();
      if (*P == 0) break;
    } else {
      Item += *P;
    }
  }
  return Result;
}

std::u16string FolderText(const fs::path& AFolder) {
  return AFolder.u16string() + static_cast<char16_t>(fs::path::preferred_separator);
}

// Opening: from creating the viewer (which loads the newest file) until the
// shown window has handled everything queued for it, painting included.
std::string MeasureOpen(const fs::path& AFolder) {
  const TStopwatch Watch;
  TfrmLog Viewer([F = FolderText(AFolder)] { return F; });
  Viewer.Form().Show();
  platform::ui::ProcessMessages();
  std::string Result = Watch.Text();
  Viewer.Form().Hide();
  return Result;
}

// The whole file, decoded, set as the text box's text in one piece.
std::string MeasureWholeText(const fs::path& AFolder, const fs::path& AFile) {
  TfrmLog Viewer([F = FolderText(AFolder)] { return F; });
  Viewer.Form().Show();
  platform::ui::ProcessMessages();
  const TStopwatch Watch;
  std::ifstream In(AFile, std::ios::binary);
  const std::string Data((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  auto& Memo = Viewer.mmoLog();
  Memo.BeginUpdate();
  Memo.SetText(platform::DecodeCodePage(Data, 65001));
  Memo.EndUpdate();
  platform::ui::ProcessMessages();
  std::string Result = Watch.Text();
  Viewer.Form().Hide();
  return Result;
}

}  // namespace

int main(int AArgc, char** AArgv) {
  std::vector<std::uint64_t> Sizes{10, 100, 250, 500, 2048, 5120, 51200};
  std::vector<std::uint64_t> WholeSizes;
  std::uint64_t FollowSize = 51200, Growth = 10;
  int Ticks = 10;
  for (int I = 1; I + 1 < AArgc; I += 2) {
    const std::string Name = AArgv[I];
    if (Name == "--sizes") Sizes = ParseList(AArgv[I + 1]);
    else if (Name == "--whole-sizes") WholeSizes = ParseList(AArgv[I + 1]);
    else if (Name == "--follow-size") FollowSize = std::stoull(AArgv[I + 1]);
    else if (Name == "--ticks") Ticks = std::atoi(AArgv[I + 1]);
    else if (Name == "--growth") Growth = std::stoull(AArgv[I + 1]);
    else {
      std::fprintf(stderr, "unknown option %s\n", Name.c_str());
      return 2;
    }
  }

  std::random_device Random;
  const fs::path Root = fs::temp_directory_path() / ("quorvel-logview-measure-" + std::to_string(Random()));
  int Status = 0;
  try {
    for (const std::uint64_t Kb : Sizes) {
      const fs::path Folder = Root / ("open-" + std::to_string(Kb));
      fs::create_directories(Folder);
      TTraceWriter(Folder / "quorvel_2026.12.09.log").Append(Kb * 1024);
      std::printf("open %llu KB: %s\n", static_cast<unsigned long long>(Kb), MeasureOpen(Folder).c_str());
      std::fflush(stdout);
    }
    for (const std::uint64_t Kb : WholeSizes) {
      const fs::path Folder = Root / ("whole-" + std::to_string(Kb));
      fs::create_directories(Folder);
      const fs::path File = Folder / "quorvel_2026.12.09.log";
      TTraceWriter(File).Append(Kb * 1024);
      std::printf("whole text %llu KB: %s\n", static_cast<unsigned long long>(Kb), MeasureWholeText(Folder, File).c_str());
      std::fflush(stdout);
    }

    // Following: each tick the file grows, its write time moves on, and the
    // timer's handler runs as the window's timer would run it.
    const fs::path Folder = Root / "follow";
    fs::create_directories(Folder);
    const fs::path File = Folder / "quorvel_2026.12.09.log";
    TTraceWriter Writer(File);
    Writer.Append(FollowSize * 1024);
    TfrmLog Viewer([F = FolderText(Folder)] { return F; });
    Viewer.Form().Show();
    platform::ui::ProcessMessages();
    std::vector<double> Walls, Cpus;
    for (int Tick = 1; Tick <= Ticks; ++Tick) {
      Writer.Append(Growth * 1024);
      fs::last_write_time(File, fs::last_write_time(File) + std::chrono::seconds(Tick));
      const TStopwatch Watch;
      Viewer.tmrCheckFileTimer();
      platform::ui::ProcessMessages();
      Cpus.push_back(Watch.CpuMs());
      Walls.push_back(std::chrono::duration<double, std::milli>(TClock::now() - Watch.Wall).count());
    }
    std::sort(Walls.begin(), Walls.end());
    std::sort(Cpus.begin(), Cpus.end());
    if (Ticks > 0)
      std::printf("follow %llu KB + %llu KB per tick, %d ticks: median %.1f ms, max %.1f ms per tick "
                  "(thread CPU median %.1f ms, max %.1f ms); text box %zu chars\n",
                  static_cast<unsigned long long>(FollowSize), static_cast<unsigned long long>(Growth), Ticks,
                  Walls[Walls.size() / 2], Walls.back(), Cpus[Cpus.size() / 2], Cpus.back(),
                  Viewer.mmoLog().Text().size());
    const double Peak = PeakMemoryMb();
    if (Peak >= 0) std::printf("peak working set: %.1f MB\n", Peak);
  } catch (const std::exception& E) {
    std::fprintf(stderr, "logview_measure: %s\n", E.what());
    Status = 1;
  }
  std::error_code Ignored;
  fs::remove_all(Root, Ignored);
  return Status;
}
