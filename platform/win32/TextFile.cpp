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

}  // namespace

std::string ReadFileDenyWrite(const std::u16string& AFileName) {
  HANDLE Raw = CreateFileW(reinterpret_cast<const wchar_t*>(AFileName.c_str()), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (Raw == INVALID_HANDLE_VALUE) RaiseOSError(u"Cannot open file \"" + AFileName + u"\"", GetLastError());
  std::unique_ptr<void, THandleCloser> File(Raw);
  LARGE_INTEGER Size{};
  if (!GetFileSizeEx(Raw, &Size)) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", GetLastError());
  std::string Result(static_cast<std::size_t>(Size.QuadPart), '\0');
  std::size_t Done = 0;
  while (Done < Result.size()) {
    DWORD Read = 0;
    const auto Chunk = static_cast<DWORD>(std::min<std::size_t>(Result.size() - Done, 1u << 30));
    if (!ReadFile(Raw, Result.data() + Done, Chunk, &Read, nullptr))
      RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", GetLastError());
    if (Read == 0) break;  // the file shrank meanwhile
    Done += Read;
  }
  Result.resize(Done);
  return Result;
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
