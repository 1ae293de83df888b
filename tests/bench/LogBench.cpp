// One log line with logging on: folder check, open, append and close of the
// day's file, as every traced call pays it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "common/Common.Log.h"

namespace {

// Logs into a temporary data folder, never into the user's own.
class TScratchLog {
public:
  TScratchLog() {
    std::string Template = (std::filesystem::temp_directory_path() / "qvbench-XXXXXX").string();
    if (mkdtemp(Template.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    FRoot = Template;
    if (const char* Previous = getenv("XDG_DATA_HOME")) FPrevious = Previous;
    setenv("XDG_DATA_HOME", FRoot.c_str(), 1);
    FName = Common::Log::LogName();
    Common::Log::SetLogName(u"bench");
    Common::Log::SetLogMode(Common::Log::lmAll);
  }
  ~TScratchLog() {
    Common::Log::SetLogMode(Common::Log::lmOff);
    Common::Log::SetLogName(FName);
    if (FPrevious.empty())
      unsetenv("XDG_DATA_HOME");
    else
      setenv("XDG_DATA_HOME", FPrevious.c_str(), 1);
    std::error_code Ignored;
    std::filesystem::remove_all(FRoot, Ignored);
  }
  TScratchLog(const TScratchLog&) = delete;
  TScratchLog& operator=(const TScratchLog&) = delete;

private:
  std::filesystem::path FRoot;
  std::string FPrevious;
  std::u16string FName;
};

void WriteLog(benchmark::State& AState) {
  TScratchLog Log;
  for (auto _ : AState)
    Common::Log::WriteLog(u"> GetDataTagsRFID", u"Params: [5, E28011002000589616B408A1]", Common::Log::llDebug);
}
BENCHMARK(WriteLog);

}  // namespace
