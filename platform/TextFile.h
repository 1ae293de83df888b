#pragma once
// Reading a text file written by another program (or by this one) in a
// known code page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Exception.h"

namespace platform {

// Raised for a name that is not a plain file (a FIFO, a device, a folder),
// which is never read: reading a FIFO could wait for ever.
class TNotPlainFile : public Exception {
public:
  using Exception::Exception;
};

// The end of AFileName: at most its last AMaxBytes, and nothing before
// AFrom; read in one opening, while other processes may read the file but
// not write it (so a writer holding it open makes this fail). Throws
// Exception with the system's reason on failure, TNotPlainFile for a name
// that is not a plain file; neither the opening nor the reading waits.
struct TFilePart {
  std::string Data;
  std::uint64_t Offset = 0;  // where Data begins in the file
  std::uint64_t Size = 0;    // the file's size when it was read
};
TFilePart ReadFileEndDenyWrite(const std::u16string& AFileName, std::uint64_t AFrom, std::size_t AMaxBytes);

// The whole of AFileName, read under the same sharing rule.
inline std::string ReadFileDenyWrite(const std::u16string& AFileName) {
  return ReadFileEndDenyWrite(AFileName, 0, static_cast<std::size_t>(-1)).Data;
}

// AData decoded from code page ACodePage (65001 UTF-8, 1251 Cyrillic
// Windows, 866 Cyrillic DOS, ...), whatever the system's own code pages.
// Throws Exception for a code page the system does not know.
std::u16string DecodeCodePage(std::string_view AData, unsigned ACodePage);

}  // namespace platform
