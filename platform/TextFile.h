#pragma once
// Reading a text file written by another program (or by this one) in a
// known code page.
#include <string>
#include <string_view>

namespace platform {

// The whole content of AFileName, read while other processes may read the
// file but not write it (so a writer holding it open makes this fail).
// Throws Exception with the system's reason on failure.
std::string ReadFileDenyWrite(const std::u16string& AFileName);

// AData decoded from code page ACodePage (65001 UTF-8, 1251 Cyrillic
// Windows, 866 Cyrillic DOS, ...), whatever the system's own code pages.
// Throws Exception for a code page the system does not know.
std::u16string DecodeCodePage(std::string_view AData, unsigned ACodePage);

}  // namespace platform
