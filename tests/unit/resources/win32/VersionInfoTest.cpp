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

std::wstring StringValue(std::vector<char>& AData, const wchar_t* AName) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + AName;
  if (!VerQueryValueW(AData.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
    return L"<missing>";
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(VersionResource, FixedVersionMatchesTheVersionTexts) {
  const std::wstring file = OwnModuleFileName();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  EXPECT_NE(text, L"0.0.0.0");
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
  const std::wstring file = OwnModuleFileName();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const platform::TFileVersion own = platform::FileVersionOf(u"");
  EXPECT_EQ(own.Major, HIWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(own.Minor, LOWORD(fixed->dwFileVersionMS));
  EXPECT_EQ(own.Release, HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(own.Build, LOWORD(fixed->dwFileVersionLS));
  EXPECT_NE(own.Major + own.Minor + own.Release + own.Build, 0);
}

}  // namespace
