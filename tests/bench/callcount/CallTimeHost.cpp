// Times one method of each of several add-in libraries through the same
// host, in the same process and the same run, so that the figures compare:
// each library is loaded and its object created as the platform does, then
// the rounds take turns (N calls of the first, N of the second, ...), and
// each library's nanoseconds per call are the median over the rounds, in
// thread CPU time (what another process's load changes least) and in wall
// time.
//
//   quorvel_calltime N ROUNDS LIBRARY:CLASS:METHOD ...
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CallMany.h"
#include "v8host/Component.h"
#include "v8host/Text.h"

namespace {

struct TSubject {
  TSubject(std::string ATarget, v8host::TAddinLibrary ALibrary) : Target(std::move(ATarget)), Library(std::move(ALibrary)) {}
  std::string Target;  // LIBRARY:CLASS:METHOD as given
  v8host::TAddinLibrary Library;
  v8host::THost Host;
  std::unique_ptr<v8host::TComponent> Component;
  v8host::TV8Long Index = -1;
  std::vector<double> CpuNs, WallNs;
};

double ThreadCpuNs() {
  timespec T{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
  return static_cast<double>(T.tv_sec) * 1e9 + static_cast<double>(T.tv_nsec);
}

double Median(std::vector<double> AValues) {
  std::sort(AValues.begin(), AValues.end());
  return AValues[AValues.size() / 2];
}

std::unique_ptr<TSubject> Open(const std::string& ATarget) {
  const auto First = ATarget.find(':');
  const auto Second = ATarget.find(':', First == std::string::npos ? First : First + 1);
  if (First == std::string::npos || Second == std::string::npos) throw std::runtime_error("LIBRARY:CLASS:METHOD expected: " + ATarget);
  auto Subject = std::make_unique<TSubject>(ATarget, v8host::TAddinLibrary::Load(ATarget.substr(0, First)));
  Subject->Component = std::make_unique<v8host::TComponent>(Subject->Library, Subject->Host,
                                                            v8host::ToUtf16(ATarget.substr(First + 1, Second - First - 1)));
  Subject->Index = Subject->Component->MethodIndex(v8host::ToUtf16(ATarget.substr(Second + 1)));
  return Subject;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s N ROUNDS LIBRARY:CLASS:METHOD ...\n", argv[0]);
    return 2;
  }
  try {
    const long Count = std::strtol(argv[1], nullptr, 10);
    const long Rounds = std::strtol(argv[2], nullptr, 10);
    std::vector<std::unique_ptr<TSubject>> Subjects;
    for (int I = 3; I < argc; ++I) Subjects.push_back(Open(argv[I]));
    v8host::TV8Variant Result{};
    for (long Round = 0; Round <= Rounds; ++Round)
      for (auto& Subject : Subjects) {
        const double Cpu = ThreadCpuNs();
        const auto Wall = std::chrono::steady_clock::now();
        CallMany(Subject->Component->Raw(), Subject->Index, Count, Result);
        const double WallNs = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - Wall).count();
        if (Round == 0) continue;  // the warm-up round
        Subject->CpuNs.push_back((ThreadCpuNs() - Cpu) / static_cast<double>(Count));
        Subject->WallNs.push_back(WallNs / static_cast<double>(Count));
      }
    const double Reference = Median(Subjects.front()->CpuNs);
    for (const auto& Subject : Subjects)
      std::printf("%s: %.1f ns CPU, %.1f ns wall per call (median of %ld rounds of %ld); %.2fx the first\n",
                  Subject->Target.c_str(), Median(Subject->CpuNs), Median(Subject->WallNs), Rounds, Count,
                  Median(Subject->CpuNs) / Reference);
    for (auto& Subject : Subjects) Subject->Component->Finish();
    return 0;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "quorvel_calltime: %s\n", E.what());
    return 1;
  }
}
