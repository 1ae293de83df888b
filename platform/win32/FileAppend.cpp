#include "platform/FileAppend.h"

#include <windows.h>

#include "common/Exception.h"
#include "platform/OsError.h"

namespace platform {

namespace {

class THandle {
public:
  explicit THandle(HANDLE AHandle) noexcept : FHandle(AHandle) {}
  ~THandle() {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE Get() const noexcept { return FHandle; }

private:
  HANDLE FHandle;
};

void WriteAll(HANDLE AFile, std::string_view ABytes, const std::u16string& AFileName) {
  while (!ABytes.empty()) {
    DWORD Written = 0;
    const DWORD Chunk = ABytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(ABytes.size());
    if (!WriteFile(AFile, ABytes.data(), Chunk, &Written, nullptr))
      RaiseOSError(u"Cannot write the file " + AFileName, GetLastError());
    // Success without progress would repeat for ever.
    if (Written == 0) throw Exception(u"Cannot write the file " + AFileName + u": the system wrote nothing");
    ABytes.remove_prefix(Written);
  }
}

}  // namespace

// Others may read the file meanwhile, but not write it.
TAppendResult TryAppendToFile(const std::u16string& AFileName, std::string_view ABytes) {
  THandle File(CreateFileW(reinterpret_cast<const wchar_t*>(AFileName.c_str()), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (File.Get() == INVALID_HANDLE_VALUE) {
    const DWORD Error = GetLastError();
    if (Error == ERROR_SHARING_VIOLATION || Error == ERROR_LOCK_VIOLATION) return TAppendResult::arBusy;
    RaiseOSError(u"Cannot open the file " + AFileName, Error);
  }
  LARGE_INTEGER Zero{};
  if (!SetFilePointerEx(File.Get(), Zero, nullptr, FILE_END))
    RaiseOSError(u"Cannot move to the end of the file " + AFileName, GetLastError());
  WriteAll(File.Get(), ABytes, AFileName);
  return TAppendResult::arDone;
}

}  // namespace platform
