#include "platform/Files.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>

#include "common/Exception.h"
#include "platform/Folders.h"
#include "platform/OsError.h"

namespace platform {

namespace {

const wchar_t* Wide(const std::u16string& AText) noexcept { return reinterpret_cast<const wchar_t*>(AText.c_str()); }
std::u16string FromWide(const wchar_t* AText) { return reinterpret_cast<const char16_t*>(AText); }

struct THandleCloser {
  void operator()(HANDLE AHandle) const noexcept { CloseHandle(AHandle); }
};
struct TFindCloser {
  void operator()(HANDLE AHandle) const noexcept { FindClose(AHandle); }
};

bool IsDotEntry(const wchar_t* AName) noexcept {
  return AName[0] == L'.' && (AName[1] == L'\0' || (AName[1] == L'.' && AName[2] == L'\0'));
}

}  // namespace

std::string ReadWholeFile(const std::u16string& AFileName) {
  HANDLE Raw = CreateFileW(Wide(AFileName), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Raw == INVALID_HANDLE_VALUE) throw Exception(u"Cannot open file: " + AFileName);
  const std::unique_ptr<void, THandleCloser> File(Raw);
  std::string Result;
  char Buffer[65536];
  for (;;) {
    DWORD Count = 0;
    if (!ReadFile(Raw, Buffer, sizeof Buffer, &Count, nullptr)) throw Exception(u"Cannot read file: " + AFileName);
    if (Count == 0) break;
    Result.append(Buffer, Count);
  }
  return Result;
}

TFileWriter::TFileWriter(const std::u16string& AFileName) : FFileName(AFileName), FHandle(nullptr) {
  // Shared as the C runtime's fopen shares a file.
  HANDLE Raw = CreateFileW(Wide(AFileName), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Raw == INVALID_HANDLE_VALUE) throw Exception(u"Cannot create file: " + AFileName);
  FHandle = Raw;
}

TFileWriter::~TFileWriter() {
  if (FHandle) CloseHandle(FHandle);
}

void TFileWriter::Write(std::string_view ABytes) {
  while (!ABytes.empty()) {
    const DWORD Chunk = ABytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(ABytes.size());
    DWORD Written = 0;
    if (!FHandle || !WriteFile(FHandle, ABytes.data(), Chunk, &Written, nullptr) || Written == 0)
      throw Exception(u"Cannot write file: " + FFileName);
    ABytes.remove_prefix(Written);
  }
}

void TFileWriter::Close() {
  HANDLE Handle = FHandle;
  FHandle = nullptr;
  if (Handle && !CloseHandle(Handle)) throw Exception(u"Cannot write file: " + FFileName);
}

std::optional<std::vector<TFolderEntry>> ListFolder(const std::u16string& AFolder) {
  if (AFolder.empty()) return std::nullopt;
  WIN32_FIND_DATAW Data;
  HANDLE Raw = FindFirstFileExW(Wide(JoinPath(AFolder, u"*")), FindExInfoBasic, &Data, FindExSearchNameMatch,
                                nullptr, 0);
  std::vector<TFolderEntry> Entries;
  if (Raw == INVALID_HANDLE_VALUE) {
    // An empty drive root has not even "." and "..".
    if (GetLastError() == ERROR_FILE_NOT_FOUND && FolderExists(AFolder)) return Entries;
    return std::nullopt;
  }
  const std::unique_ptr<void, TFindCloser> Find(Raw);
  do {
    if (!IsDotEntry(Data.cFileName))
      Entries.push_back({FromWide(Data.cFileName), (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(Raw, &Data));
  return Entries;
}

std::optional<std::int64_t> FileWriteTime(const std::u16string& AFileName, std::u16string* AReason) {
  WIN32_FILE_ATTRIBUTE_DATA Data;
  if (!GetFileAttributesExW(Wide(AFileName), GetFileExInfoStandard, &Data)) {
    if (AReason) *AReason = OSErrorText(GetLastError());
    return std::nullopt;
  }
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(Data.ftLastWriteTime.dwHighDateTime) << 32) |
                                   Data.ftLastWriteTime.dwLowDateTime);
}

bool FileExists(const std::u16string& APath) {
  if (APath.empty()) return false;
  const DWORD Attributes = GetFileAttributesW(Wide(APath));
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::u16string TempFolder() {
  wchar_t Buffer[MAX_PATH + 2] = {};
  const DWORD Length = GetTempPathW(MAX_PATH + 1, Buffer);
  if (Length == 0 || Length > MAX_PATH + 1) throw Exception(std::u16string(u"The temporary folder is not available"));
  std::u16string Folder = FromWide(Buffer);
  while (Folder.size() > 3 && (Folder.back() == u'\\' || Folder.back() == u'/')) Folder.pop_back();
  return Folder;
}

bool IsAbsolutePath(const std::u16string& APath) {
  const auto Delimiter = [](char16_t C) { return C == u'\\' || C == u'/'; };
  if (APath.size() >= 2 && Delimiter(APath[0]) && Delimiter(APath[1])) return true;  // \\server\share, \\?\...
  return APath.size() >= 3 && APath[1] == u':' && Delimiter(APath[2]);
}

std::u16string AbsolutePath(const std::u16string& APath) {
  if (APath.empty()) return APath;
  const DWORD Size = GetFullPathNameW(Wide(APath), 0, nullptr, nullptr);
  std::wstring Buffer(Size + 1, L'\0');
  const DWORD Length = Size ? GetFullPathNameW(Wide(APath), Size + 1, Buffer.data(), nullptr) : 0;
  if (Length == 0 || Length > Size) RaiseOSError(u"Cannot resolve the path " + APath, GetLastError());
  Buffer.resize(Length);
  return FromWide(Buffer.c_str());
}

void RemoveFolderTree(const std::u16string& AFolder) noexcept {
  try {
    if (const auto Entries = ListFolder(AFolder)) {
      for (const TFolderEntry& Entry : *Entries) {
        const std::u16string Path = JoinPath(AFolder, Entry.Name);
        const DWORD Attributes = GetFileAttributesW(Wide(Path));
        // A link to a folder goes itself; what it points to stays.
        const bool Link = Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (Entry.Folder && !Link)
          RemoveFolderTree(Path);
        else if (Entry.Folder)
          RemoveDirectoryW(Wide(Path));
        else
          DeleteFileW(Wide(Path));
      }
    }
    RemoveDirectoryW(Wide(AFolder));
  } catch (...) {
    // Out of memory while listing: what is left stays.
  }
}

}  // namespace platform
