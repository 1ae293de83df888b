#include "platform/OsVersion.h"

#include <windows.h>

namespace platform {

namespace {

constexpr std::size_t kServicePackLimit = 128;

}  // namespace

std::u16string OSVersionText() {
  OSVERSIONINFOW Info{};
  Info.dwOSVersionInfoSize = sizeof Info;
  if (!GetVersionExW(&Info)) return u"Unknown ";
  TOSVersion Version;
  Version.Major = Info.dwMajorVersion;
  Version.Minor = Info.dwMinorVersion;
  Version.Build = Info.dwBuildNumber;
  Version.PlatformId = Info.dwPlatformId;
  std::size_t Length = 0;
  while (Length < kServicePackLimit && Info.szCSDVersion[Length] != L'\0') ++Length;
  Version.ServicePack.assign(Info.szCSDVersion, Info.szCSDVersion + Length);
  return FormatOSVersionText(WindowsVersionName(Version), Version);
}

}  // namespace platform
