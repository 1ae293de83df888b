#include "FuzzSupport.h"

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace fuzz {

namespace {

struct TSandbox {
  std::filesystem::path Root;
  std::filesystem::path Temp;

  TSandbox() {
    const char* Base = std::getenv("TMPDIR");
    std::string Pattern = std::string(Base != nullptr && *Base == '/' ? Base : "/tmp") + "/quorvel-fuzz-XXXXXX";
    if (mkdtemp(Pattern.data()) == nullptr) throw std::runtime_error("cannot create the fuzz sandbox");
    Root = Pattern;
    Temp = Root / "tmp";
    std::filesystem::create_directories(Root / "data");
    std::filesystem::create_directories(Temp);
    setenv("XDG_DATA_HOME", (Root / "data").c_str(), 1);
    setenv("TMPDIR", Temp.c_str(), 1);
  }
  ~TSandbox() {
    std::error_code Error;
    std::filesystem::remove_all(Root, Error);
  }
};

}  // namespace

const std::filesystem::path& Sandbox() {
  static const TSandbox Box;
  return Box.Temp;
}

}  // namespace fuzz
