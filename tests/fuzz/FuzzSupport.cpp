#include "FuzzSupport.h"

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fuzz {

namespace fs = std::filesystem;

namespace {

constexpr int kTempDepth = 3;  // "up" folders between the sandbox and "tmp"

struct TSandbox {
  fs::path Root;
  fs::path Temp;

  TSandbox() {
    const char* Base = std::getenv("TMPDIR");
    std::string Pattern = std::string(Base != nullptr && *Base == '/' ? Base : "/tmp") + "/quorvel-fuzz-XXXXXX";
    if (mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot create the fuzz sandbox");
    Root = Pattern;
    Temp = Root;
    for (int I = 0; I < kTempDepth; ++I) Temp /= "up";
    Temp /= "tmp";
    fs::create_directories(Root / "data");
    fs::create_directories(Temp);
    setenv("XDG_DATA_HOME", (Root / "data").c_str(), 1);
    setenv("TMPDIR", Temp.c_str(), 1);
  }
  ~TSandbox() {
    std::error_code Error;
    fs::remove_all(Root, Error);
  }
};

const TSandbox& Box() {
  static const TSandbox Instance;
  return Instance;
}

std::set<fs::path> NamesIn(const fs::path& AFolder) {
  std::set<fs::path> Names;
  std::error_code Error;
  for (const auto& Entry : fs::directory_iterator(AFolder, Error)) Names.insert(Entry.path().filename());
  return Names;
}

}  // namespace

const fs::path& Sandbox() { return Box().Temp; }

bool SandboxIsClean(std::initializer_list<fs::path> AExpected) {
  const TSandbox& B = Box();
  if (NamesIn(B.Root) != std::set<fs::path>{"data", "up"}) return false;
  fs::path Folder = B.Root;
  for (int I = 1; I < kTempDepth; ++I) {
    Folder /= "up";
    if (NamesIn(Folder) != std::set<fs::path>{"up"}) return false;
  }
  if (NamesIn(Folder / "up") != std::set<fs::path>{"tmp"}) return false;
  return NamesIn(B.Temp) == std::set<fs::path>(AExpected);
}

}  // namespace fuzz
