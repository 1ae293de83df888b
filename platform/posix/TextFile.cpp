#include "platform/TextFile.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace {

const char* IconvName(unsigned ACodePage) {
  switch (ACodePage) {
    case 65001:
      return "UTF-8";
    case 1251:
      return "CP1251";
    case 866:
      return "CP866";
    case 1252:
      return "CP1252";
    default:
      return nullptr;
  }
}

class TIconv {
public:
  explicit TIconv(const char* AFrom) : FHandle(iconv_open("UTF-16LE", AFrom)) {}
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  ~TIconv() {
    if (Valid()) iconv_close(FHandle);
  }
  bool Valid() const noexcept { return FHandle != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() const noexcept { return FHandle; }

private:
  iconv_t FHandle;
};

class TReadFd {
public:
  // Neither a FIFO nor a device in the file's place holds the opening up,
  // and a link is not followed.
  explicit TReadFd(const std::string& AName)
      : FFd(open(AName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY)) {}
  TReadFd(const TReadFd&) = delete;
  TReadFd& operator=(const TReadFd&) = delete;
  ~TReadFd() {
    if (FFd >= 0) close(FFd);
  }
  int Get() const noexcept { return FFd; }

private:
  int FFd;
};

}  // namespace

// Nothing on this system denies other writers, so the file is simply read.
TFilePart ReadFileEndDenyWrite(const std::u16string& AFileName, std::uint64_t AFrom, std::size_t AMaxBytes) {
  const TReadFd File(ToUtf8(AFileName));
  if (File.Get() < 0) RaiseOSError(u"Cannot open file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
  struct stat Info;
  if (fstat(File.Get(), &Info) != 0) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
  if (!S_ISREG(Info.st_mode)) throw TNotPlainFile(u"Cannot read file \"" + AFileName + u"\": it is not a plain file");
  TFilePart Part;
  Part.Size = static_cast<std::uint64_t>(Info.st_size);
  Part.Offset = std::min(Part.Size, std::max(AFrom, Part.Size > AMaxBytes ? Part.Size - AMaxBytes : 0));
  Part.Data.resize(static_cast<std::size_t>(Part.Size - Part.Offset));
  std::size_t Done = 0;
  while (Done < Part.Data.size()) {
    const ssize_t Count = pread(File.Get(), Part.Data.data() + Done, Part.Data.size() - Done,
                                static_cast<off_t>(Part.Offset + Done));
    if (Count < 0 && errno == EINTR) continue;
    if (Count < 0) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
    if (Count == 0) break;  // the file shrank meanwhile
    Done += static_cast<std::size_t>(Count);
  }
  Part.Data.resize(Done);
  return Part;
}

// Bytes that do not decode become U+FFFD, as the Windows conversion does.
std::u16string DecodeCodePage(std::string_view AData, unsigned ACodePage) {
  if (ACodePage == 65001) return ToUtf16(AData);
  const char* Name = IconvName(ACodePage);
  if (!Name) throw Exception(u"Unknown code page " + IntToText(ACodePage));
  TIconv Converter(Name);
  if (!Converter.Valid()) RaiseOSError(u"Cannot decode code page " + IntToText(ACodePage), static_cast<unsigned long>(errno));
  std::u16string Result;
  std::string In(AData);
  char* InPtr = In.data();
  std::size_t InLeft = In.size();
  std::string Out(In.size() * 2 + 16, '\0');
  while (InLeft > 0) {
    char* OutPtr = Out.data();
    std::size_t OutLeft = Out.size();
    const auto Rc = iconv(Converter.Get(), &InPtr, &InLeft, &OutPtr, &OutLeft);
    for (const char* P = Out.data(); P + 1 < OutPtr; P += 2)
      Result.push_back(static_cast<char16_t>(static_cast<unsigned char>(P[0]) | (static_cast<unsigned char>(P[1]) << 8)));
    if (Rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      Result.push_back(u'\uFFFD');
      ++InPtr;
      --InLeft;
    }
  }
  return Result;
}

}  // namespace platform
