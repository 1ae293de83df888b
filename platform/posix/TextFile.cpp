#include "platform/TextFile.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <fstream>

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

}  // namespace

// Nothing on this system denies other writers, so the file is simply read.
TFilePart ReadFileEndDenyWrite(const std::u16string& AFileName, std::uint64_t AFrom, std::size_t AMaxBytes) {
  std::ifstream File(ToUtf8(AFileName), std::ios::binary | std::ios::ate);
  if (!File) RaiseOSError(u"Cannot open file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
  TFilePart Part;
  const auto End = File.tellg();
  if (End < 0) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
  Part.Size = static_cast<std::uint64_t>(End);
  Part.Offset = std::min(Part.Size, std::max(AFrom, Part.Size > AMaxBytes ? Part.Size - AMaxBytes : 0));
  Part.Data.resize(static_cast<std::size_t>(Part.Size - Part.Offset));
  File.seekg(static_cast<std::streamoff>(Part.Offset));
  File.read(Part.Data.data(), static_cast<std::streamsize>(Part.Data.size()));
  if (File.bad()) RaiseOSError(u"Cannot read file \"" + AFileName + u"\"", static_cast<unsigned long>(errno));
  Part.Data.resize(static_cast<std::size_t>(File.gcount()));  // the file shrank meanwhile
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
