#include "platform/TextFile.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <memory>

#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace {

struct THandleCloser {
  void operator()(HANDLE AHandle) const noexcept { CloseHandle(AHandle); }
};

using TFileHandle = std::unique_ptr<void, THandleCloser>;

// Open for reading; other processes may read the file meanwhile, not write it.
TFileHandle OpenDenyWrite(const std::u16string& AFileName) {
  HANDLE Raw = CreateFileW(reinterpret_cast<const wchar_t*>(AFileName.c_str()), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Raw == INVALID_HANDLE_VALUE) RaiseOSError(u"Cannot open file \"" + AFileName + u"\"", GetLastError());
  return TFileHandle(Raw);
}

std::uint64_t SizeOf(HANDLE AFile, const std::u16string& AFileName) {
  LARGE_INTEGER Size{};
  if (!GetFileSizeEx(AFile, &Size)) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", GetLastError());
  return static_cast<std::uint64_t>(Size.QuadPart);
}

// Fills AResult from the file's current position; a file that shrank
// meanwhile gives fewer bytes.
void ReadInto(HANDLE AFile, std::string& AResult, const std::u16string& AFileName) {
  std::size_t Done = 0;
  while (Done < AResult.size()) {
    DWORD Read = 0;
    const auto Chunk = static_cast<DWORD>(std::min<std::size_t>(AResult.size() - Done, 1u << 30));
    if (!ReadFile(AFile, AResult.data() + Done, Chunk, &Read, nullptr))
      RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", GetLastError());
    if (Read == 0) break;
    Done += Read;
  }
  AResult.resize(Done);
}

}  // namespace

TFilePart ReadFileEndDenyWrite(const std::u16string& AFileName, std::uint64_t AFrom, std::size_t AMaxBytes) {
  const TFileHandle File = OpenDenyWrite(AFileName);
  TFilePart Part;
  Part.Size = SizeOf(File.get(), AFileName);
  Part.Offset = std::min(Part.Size, std::max(AFrom, Part.Size > AMaxBytes ? Part.Size - AMaxBytes : 0));
  LARGE_INTEGER Position{};
  Position.QuadPart = static_cast<LONGLONG>(Part.Offset);
  if (!SetFilePointerEx(File.get(), Position, nullptr, FILE_BEGIN))
    RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", GetLastError());
  Part.Data.resize(static_cast<std::size_t>(Part.Size - Part.Offset));
  ReadInto(File.get(), Part.Data, AFileName);
  return Part;
}

std::u16string DecodeCodePage(std::string_view AData, unsigned ACodePage) {
  if (AData.empty()) return {};
  const int Length = MultiByteToWideChar(ACodePage, 0, AData.data(), static_cast<int>(AData.size()), nullptr, 0);
  if (Length <= 0) RaiseOSError(u"Cannot decode code page " + IntToText(ACodePage), GetLastError());
  std::u16string Result(static_cast<std::size_t>(Length), u'\0');
  MultiByteToWideChar(ACodePage, 0, AData.data(), static_cast<int>(AData.size()),
                      reinterpret_cast<wchar_t*>(Result.data()), Length);
  return Result;
}

}  // namespace platform
