#include "platform/Folders.h"

#include <windows.h>
#include <shlobj.h>

#include "common/Exception.h"
#include "platform/OsError.h"

namespace platform {

namespace {

const wchar_t* Wide(const std::u16string& AText) noexcept { return reinterpret_cast<const wchar_t*>(AText.c_str()); }

}  // namespace

bool IsPathDelimiter(char16_t AChar) noexcept { return AChar == u'\\' || AChar == u'/' || AChar == u':'; }

namespace {

std::u16string QueryCommonAppDataFolder() {
  wchar_t Buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(nullptr, Buffer, CSIDL_COMMON_APPDATA, TRUE) || Buffer[0] == L'\0')
    throw Exception(u"The common application-data folder of this computer is not available");
  std::u16string Folder(reinterpret_cast<const char16_t*>(Buffer));
  if (Folder.back() != PathDelimiter) Folder += PathDelimiter;
  return Folder;
}

}  // namespace

std::u16string CommonAppDataFolder() {
  // The folder does not change while the process runs. Asking the shell
  // once also keeps it out of the module's unload, where the log's closing
  // line is written under the loader lock. The copy is never destroyed, so
  // it is still there when the log closes during static destruction.
  static const std::u16string& Folder = *new std::u16string(QueryCommonAppDataFolder());
  return Folder;
}

bool FolderExists(const std::u16string& AFolder) {
  const DWORD Attributes = GetFileAttributesW(Wide(AFolder));
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeOneFolder(const std::u16string& AFolder) {
  if (CreateDirectoryW(Wide(AFolder), nullptr)) return true;
  const DWORD Error = GetLastError();
  if (Error == ERROR_ALREADY_EXISTS && FolderExists(AFolder)) return false;
  RaiseOSError(u"Cannot create the folder " + AFolder, Error);
}

// The common application-data folder is the machine's: its log folder is
// shared by every user of the computer on purpose.
void CheckOwnFolder(const std::u16string&) {}

}  // namespace platform
