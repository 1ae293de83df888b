#pragma once
// The operating system's name and version as one line of text.
#include <string>
#include <string_view>

namespace platform {

struct TOSVersion {
  unsigned Major = 0;
  unsigned Minor = 0;
  unsigned Build = 0;
  unsigned PlatformId = 0;  // 2 for the NT family of Windows
  std::u16string ServicePack;
};

// The Windows release named by a version, "Unknown" when none matches.
std::u16string_view WindowsVersionName(const TOSVersion& AVersion) noexcept;

// AName + " " + (service pack + " " when not empty) + "(major.minor.build)".
std::u16string FormatOSVersionText(std::u16string_view AName, const TOSVersion& AVersion);

// "Windows 7 Service Pack 1 (6.1.7601)", "Linux (6.1.0)"; "Unknown " when
// the system cannot be queried.
std::u16string OSVersionText();

}  // namespace platform
