// The module's version resource: the fixed file version and the version
// texts agree, and the file is described as a DLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Module.h"

namespace {

std::wstring OwnModuleFileName() {
  const std::u16string path = platform::ModuleLongFileName();
  return std::wstring(path.begin(), path.end());
}

// The file's version information block and its fixed part, which points
// into the block (null when the file has none).
struct TVersionInfo {
  std::vector<char> Data;
  VS_FIXEDFILEINFO* Fixed = nullptr;
};

TVersionInfo ReadVersionInfo() {
  const std::wstring file = OwnModuleFileName();
  TVersionInfo info;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return info;
  info.Data.resize(size);
  UINT length = 0;
  if (!GetFileVersionInfoW(file.c_str(), 0, size, info.Data.data()) ||
      !VerQueryValueW(info.Data.data(), L"\\", reinterpret_cast<void**>(&info.Fixed), &length))
    info.Fixed = nullptr;
  return info;
}

std::wstring StringValue(std::vector<char>& AData, const wchar_t* AName) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + AName;
  if (!VerQueryValueW(AData.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return L"<missing>";
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(VersionResource, FixedVersionMatchesTheVersionTexts) {
  TVersionInfo info = ReadVersionInfo();
  ASSERT_NE(info.Fixed, nullptr);
  std::vector<char>& data = info.Data;
  const VS_FIXEDFILEINFO* fixed = info.Fixed;
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  // The version the project declares (its top-level CMakeLists.txt).
  EXPECT_EQ(text, L"" QUORVEL_DECLARED_VERSION);
  EXPECT_EQ(StringValue(data, L"FileVersion"), text);
  EXPECT_EQ(StringValue(data, L"ProductVersion"), text);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(StringValue(data, L"FileDescription"), L"Драйвер эмулятор RFID-считывателя");
}

// The module's own version, read from its resource through its handle (as
// the registration does while the library loads), is the version the file
// carries.
TEST(VersionResource, OwnVersionIsTheFilesVersion) {
  TVersionInfo info = ReadVersionInfo();
  ASSERT_NE(info.Fixed, nullptr);
  const VS_FIXEDFILEINFO* fixed = info.Fixed;
  const platform::TFileVersion own = platform::FileVersionOf(u"");
  EXPECT_EQ(own.Major, HIWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(own.Minor, LOWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(own.Release, HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(own.Build, LOWORD(fixed->dwFileVersionLS));
  const std::string ownText = std::to_string(own.Major) + "." + std::to_string(own.Minor) + "." +
                              std::to_string(own.Release) + "." + std::to_string(own.Build);
  EXPECT_EQ(ownText, QUORVEL_DECLARED_VERSION);
}

}  // namespace
