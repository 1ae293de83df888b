#include "lib/MarkdownRenderer/uTextDecoding.h"

#include "common/Text.h"

namespace {

bool StartsWith(std::string_view ABytes, std::string_view AMark) noexcept {
  return ABytes.substr(0, AMark.size()) == AMark;
}

std::u16string DecodeUtf16(std::string_view ABytes, bool ABigEndian) {
  std::u16string text;
  text.reserve(ABytes.size() / 2);
  for (std::size_t i = 0; i + 1 < ABytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(ABytes[i]);
    const auto second = static_cast<unsigned char>(ABytes[i + 1]);
    text += static_cast<char16_t>(ABigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  return text;
}

}  // namespace

std::u16string DecodeTextBytes(std::string_view ABytes) {
  if (StartsWith(ABytes, "\xEF\xBB\xBF"))
    return ToUtf16(ABytes.substr(3));
  if (StartsWith(ABytes, "\xFF\xFE"))
    return DecodeUtf16(ABytes.substr(2), false);
  if (StartsWith(ABytes, "\xFE\xFF"))
    return DecodeUtf16(ABytes.substr(2), true);
  return ToUtf16(ABytes);
}
