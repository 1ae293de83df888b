#include "platform/OsVersion.h"

#include <sys/utsname.h>

#include <cctype>
#include <cstdlib>

#include "common/Text.h"

namespace platform {

namespace {

// The leading "a.b.c" of a release text such as "6.1.0-18-amd64".
void ParseRelease(const char* ARelease, TOSVersion& AVersion) {
  unsigned* Fields[] = {&AVersion.Major, &AVersion.Minor, &AVersion.Build};
  const char* P = ARelease;
  for (unsigned* Field : Fields) {
    if (!std::isdigit(static_cast<unsigned char>(*P))) break;
    char* End = nullptr;
    *Field = static_cast<unsigned>(std::strtoul(P, &End, 10));
    P = End;
    if (*P != '.') break;
    ++P;
  }
}

}  // namespace

std::u16string OSVersionText() {
  utsname Names{};
  if (uname(&Names) != 0) return u"Unknown ";
  TOSVersion Version;
  ParseRelease(Names.release, Version);
  return FormatOSVersionText(ToUtf16(Names.sysname), Version);
}

}  // namespace platform
