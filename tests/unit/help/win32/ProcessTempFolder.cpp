#include <windows.h>

#include "unit/help/HelpTestSupport.h"

namespace help_test {

namespace {
std::wstring Variable(const wchar_t* AName) {
  wchar_t buffer[MAX_PATH * 2] = {};
  const DWORD length = GetEnvironmentVariableW(AName, buffer, MAX_PATH * 2);
  return std::wstring(buffer, length < MAX_PATH * 2 ? length : 0);
}
}  // namespace

// GetTempPathW, behind std::filesystem::temp_directory_path, reads TMP first.
std::u16string SetProcessTempFolder(const std::u16string& AFolder) {
  const std::wstring previous = Variable(L"TMP");
  const std::wstring folder(AFolder.begin(), AFolder.end());
  for (const wchar_t* name : {L"TMP", L"TEMP"})
    SetEnvironmentVariableW(name, folder.empty() ? nullptr : folder.c_str());
  return std::u16string(previous.begin(), previous.end());
}

}  // namespace help_test
