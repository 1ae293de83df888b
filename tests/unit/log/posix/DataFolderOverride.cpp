#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "unit/log/LogSandbox.h"

namespace LogTest {

// XDG_DATA_HOME names the data folder here, so each test gets its own.
struct TDataFolderOverride::TSaved {
  std::optional<std::string> Previous;
  std::filesystem::path Root;
};

TDataFolderOverride::TDataFolderOverride(const std::string& AFolderName) : FSaved(new TSaved) {
  if (const char* Value = getenv("XDG_DATA_HOME")) FSaved->Previous = Value;
  std::string Template = (std::filesystem::temp_directory_path() / "qvlog-XXXXXX").string();
  if (mkdtemp(Template.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  FSaved->Root = Template;
  setenv("XDG_DATA_HOME", (FSaved->Root / AFolderName).c_str(), 1);
}

TDataFolderOverride::~TDataFolderOverride() {
  if (FSaved->Previous)
    setenv("XDG_DATA_HOME", FSaved->Previous->c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
  std::error_code Ignored;
  std::filesystem::remove_all(FSaved->Root, Ignored);
}

}  // namespace LogTest
