#include "platform/Module.h"

#include <windows.h>

#include <vector>

#include "platform/OsError.h"

namespace platform {

namespace {

constexpr DWORD kPathLimit = 32768;

std::u16string FromWide(const wchar_t* AText, std::size_t ALength) {
  return std::u16string(reinterpret_cast<const char16_t*>(AText), ALength);
}

// The module that holds this code: the add-in library, not the host's program.
HMODULE OwnModule() {
  HMODULE Module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&OwnModule), &Module))
    RaiseOSError(u"Cannot find the add-in's own module", GetLastError());
  return Module;
}

std::wstring ModuleFileName(HMODULE AModule) {
  std::vector<wchar_t> Buffer(MAX_PATH);
  for (;;) {
    const DWORD Length = GetModuleFileNameW(AModule, Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0) RaiseOSError(u"Cannot read the add-in's file name", GetLastError());
    if (Length < Buffer.size() || Buffer.size() >= kPathLimit) return std::wstring(Buffer.data(), Length);
    Buffer.resize(Buffer.size() * 2);
  }
}

// The long form of APath; APath itself when the system cannot give one.
std::wstring LongPathOf(const std::wstring& APath) {
  std::vector<wchar_t> Buffer(MAX_PATH);
  for (;;) {
    const DWORD Length = GetLongPathNameW(APath.c_str(), Buffer.data(), static_cast<DWORD>(Buffer.size()));
    if (Length == 0) return APath;
    if (Length < Buffer.size()) return std::wstring(Buffer.data(), Length);
    Buffer.resize(Length + 1);
  }
}

}  // namespace

std::u16string ModuleLongFileName() {
  const std::wstring Path = LongPathOf(ModuleFileName(OwnModule()));
  return FromWide(Path.data(), Path.size());
}

TFileVersion FileVersionOf(const std::u16string& AFileName) {
  const std::u16string Name = AFileName.empty() ? ModuleLongFileName() : AFileName;
  const auto* WideName = reinterpret_cast<const wchar_t*>(Name.c_str());
  DWORD Unused = 0;
  const DWORD Size = GetFileVersionInfoSizeW(WideName, &Unused);
  if (Size == 0) return {};
  std::vector<BYTE> Data(Size);
  if (!GetFileVersionInfoW(WideName, 0, Size, Data.data())) return {};
  void* Fixed = nullptr;
  UINT FixedSize = 0;
  if (!VerQueryValueW(Data.data(), L"\\", &Fixed, &FixedSize) || Fixed == nullptr ||
      FixedSize < sizeof(VS_FIXEDFILEINFO))
    return {};
  const auto* Info = static_cast<const VS_FIXEDFILEINFO*>(Fixed);
  return {HIWORD(Info->dwFileVersionMS), LOWORD(Info->dwFileVersionMS), HIWORD(Info->dwFileVersionLS),
          LOWORD(Info->dwFileVersionLS)};
}

}  // namespace platform
