#include "unit/help/HelpTestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/Guid.h"

namespace fs = std::filesystem;

namespace help_test {

std::string ReadBytes(const fs::path& APath) {
  std::ifstream file(APath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& APath, std::string_view ABytes) {
  fs::create_directories(APath.parent_path());
  std::ofstream file(APath, std::ios::binary | std::ios::trunc);
  file.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
}

std::vector<std::string> FolderEntries(const fs::path& AFolder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(AFolder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void THelpTest::SetUp() {
  const fs::path root = fs::temp_directory_path() / ("quorvel-help-test-" + fs::path(platform::NewGuidText()).string());
  fs::create_directories(root);
  FTempRoot = root;
  FPreviousTemp = SetProcessTempFolder(FTempRoot.u16string());
  FPreviousViewer = TMarkdownRenderer::SetDocViewer([this](const std::u16string& APath, const std::u16string& ACaption) {
    TShownPage page{APath, ACaption, ReadBytes(fs::path(APath)), FolderEntries(fs::path(APath).parent_path())};
    Shown.push_back(std::move(page));
  });
}

void THelpTest::TearDown() {
  TMarkdownRenderer::SetDocViewer(std::move(FPreviousViewer));
  SetProcessTempFolder(FPreviousTemp);
  std::error_code error;
  fs::remove_all(FTempRoot, error);
}

}  // namespace help_test
