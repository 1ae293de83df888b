// The operating-system line of the log header.
#include <gtest/gtest.h>

#include <regex>

#include "common/Text.h"
#include "platform/OsVersion.h"

namespace {

using platform::TOSVersion;

std::u16string NameOf(unsigned AMajor, unsigned AMinor, unsigned APlatformId = 2) {
  TOSVersion Version;
  Version.Major = AMajor;
  Version.Minor = AMinor;
  Version.PlatformId = APlatformId;
  return std::u16string(platform::WindowsVersionName(Version));
}

// The rows that need more than major.minor, and the ends of the table.
TEST(OsVersionText, TellsReleasesApartByVersionAndPlatform) {
  EXPECT_EQ(NameOf(4, 0, 1), u"Windows 95");
  EXPECT_EQ(NameOf(4, 0, 2), u"Windows NT 4");
  EXPECT_EQ(NameOf(4, 10), u"Windows 98");
  EXPECT_EQ(NameOf(3, 51), u"Windows NT 3");
  EXPECT_EQ(NameOf(6, 1), u"Windows 7");
  EXPECT_EQ(NameOf(10, 0), u"Windows 10");
  for (const auto& [Major, Minor] : {std::pair{7u, 0u}, {9u, 0u}, {6u, 4u}, {10u, 1u}, {11u, 0u}, {4u, 1u}})
    EXPECT_EQ(NameOf(Major, Minor), u"Unknown") << Major << "." << Minor;
}

TEST(OsVersionText, PutsServicePackBetweenNameAndNumbers) {
  TOSVersion Version;
  Version.Major = 6;
  Version.Minor = 1;
  Version.Build = 7601;
  Version.PlatformId = 2;
  Version.ServicePack = u"Service Pack 1";
  EXPECT_EQ(platform::FormatOSVersionText(platform::WindowsVersionName(Version), Version),
            u"Windows 7 Service Pack 1 (6.1.7601)");
  Version.ServicePack.clear();
  EXPECT_EQ(platform::FormatOSVersionText(u"Windows 7", Version), u"Windows 7 (6.1.7601)");
}

TEST(OsVersionText, ThisSystemsTextHasTheNameAndNumbersShape) {
  const std::string Text = ToUtf8(platform::OSVersionText());
  EXPECT_TRUE(std::regex_match(Text, std::regex("\\S.* \\(\\d+\\.\\d+\\.\\d+\\)"))) << Text;
}

}  // namespace
