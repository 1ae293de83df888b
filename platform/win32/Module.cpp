#include "platform/Module.h"

#include <windows.h>

#include <vector>

#include "platform/OsError.h"
#include "platform/win32/OwnModule.h"

namespace platform {

namespace {

constexpr DWORD kPathLimit = 32768;

std::u16string FromWide(const wchar_t* AText, std::size_t ALength) {
  return std::u16string(reinterpret_cast<const char16_t*>(AText), ALength);
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

// The fixed file version of a version block (as GetFileVersionInfoW gives
// it, or a copy of a module's version resource).
TFileVersion FixedFileVersion(std::vector<BYTE>& AData) {
  void* Fixed = nullptr;
  UINT FixedSize = 0;
  if (!VerQueryValueW(AData.data(), L"\\", &Fixed, &FixedSize) || Fixed == nullptr ||
      FixedSize < sizeof(VS_FIXEDFILEINFO))
    return {};
  const auto* Info = static_cast<const VS_FIXEDFILEINFO*>(Fixed);
  return {HIWORD(Info->dwFileVersionMS), LOWORD(Info->dwFileVersionMS), HIWORD(Info->dwFileVersionLS),
          LOWORD(Info->dwFileVersionLS)};
}

// This module's version, read from its own resource through its handle.
// GetFileVersionInfoW would load the file again as a library, which must not
// happen while the library loads or unloads (under the loader's lock, where
// the registration reads the version): a host whose other threads load
// libraries at the same moment could deadlock.
TFileVersion OwnModuleVersion() {
  const HMODULE Module = OwnModule();
  const HRSRC Info = Module ? FindResourceW(Module, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */) : nullptr;
  const HGLOBAL Handle = Info ? LoadResource(Module, Info) : nullptr;
  const auto* Data = static_cast<const BYTE*>(Handle ? LockResource(Handle) : nullptr);
  const DWORD Size = Info ? SizeofResource(Module, Info) : 0;
  if (Data == nullptr || Size == 0) return {};
  // VerQueryValueW may write into the block it reads; the resource is the
  // module's read-only image, so it reads a copy.
  std::vector<BYTE> Copy(Data, Data + Size);
  return FixedFileVersion(Copy);
}

}  // namespace

HMODULE OwnModule() noexcept {
  HMODULE Module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&OwnModule), &Module))
    return nullptr;
  return Module;
}

std::u16string ModuleLongFileName() {
  const HMODULE Module = OwnModule();
  if (Module == nullptr) RaiseOSError(u"Cannot find the add-in's own module", GetLastError());
  const std::wstring Path = LongPathOf(ModuleFileName(Module));
  return FromWide(Path.data(), Path.size());
}

TFileVersion FileVersionOf(const std::u16string& AFileName) {
  if (AFileName.empty()) return OwnModuleVersion();
  const auto* WideName = reinterpret_cast<const wchar_t*>(AFileName.c_str());
  DWORD Unused = 0;
  const DWORD Size = GetFileVersionInfoSizeW(WideName, &Unused);
  if (Size == 0) return {};
  std::vector<BYTE> Data(Size);
  if (!GetFileVersionInfoW(WideName, 0, Size, Data.data())) return {};
  return FixedFileVersion(Data);
}

}  // namespace platform
