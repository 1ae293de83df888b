#include "v8host/Text.h"

namespace v8host {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& AOut, char32_t ACode) {
  if (ACode < 0x80) {
    AOut += static_cast<char>(ACode);
  } else if (ACode < 0x800) {
    AOut += static_cast<char>(0xC0 | (ACode >> 6));
    AOut += static_cast<char>(0x80 | (ACode & 0x3F));
  } else if (ACode < 0x10000) {
    AOut += static_cast<char>(0xE0 | (ACode >> 12));
    AOut += static_cast<char>(0x80 | ((ACode >> 6) & 0x3F));
    AOut += static_cast<char>(0x80 | (ACode & 0x3F));
  } else {
    AOut += static_cast<char>(0xF0 | (ACode >> 18));
    AOut += static_cast<char>(0x80 | ((ACode >> 12) & 0x3F));
    AOut += static_cast<char>(0x80 | ((ACode >> 6) & 0x3F));
    AOut += static_cast<char>(0x80 | (ACode & 0x3F));
  }
}

void AppendUtf16(std::u16string& AOut, char32_t ACode) {
  if (ACode < 0x10000) {
    AOut += static_cast<char16_t>(ACode);
  } else {
    ACode -= 0x10000;
    AOut += static_cast<char16_t>(0xD800 + (ACode >> 10));
    AOut += static_cast<char16_t>(0xDC00 + (ACode & 0x3FF));
  }
}

bool IsHigh(char16_t AUnit) { return AUnit >= 0xD800 && AUnit <= 0xDBFF; }
bool IsLow(char16_t AUnit) { return AUnit >= 0xDC00 && AUnit <= 0xDFFF; }

// Decodes one sequence at APos; advances APos past it.
char32_t DecodeUtf8(std::string_view AText, std::size_t& APos) {
  const auto lead = static_cast<unsigned char>(AText[APos++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, code = lead & 0x07, minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < extra; ++i) {
    if (APos >= AText.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(AText[APos]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    code = (code << 6) | (next & 0x3F);
    ++APos;
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}

}  // namespace

std::string ToUtf8(std::u16string_view AText) {
  std::string out;
  out.reserve(AText.size());
  for (std::size_t i = 0; i < AText.size(); ++i) {
    const char16_t unit = AText[i];
    if (IsHigh(unit) && i + 1 < AText.size() && IsLow(AText[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(AText[i + 1]) - 0xDC00));
      ++i;
    } else if (IsHigh(unit) || IsLow(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string ToUtf16(std::string_view AText) {
  std::u16string out;
  out.reserve(AText.size());
  std::size_t pos = 0;
  while (pos < AText.size()) AppendUtf16(out, DecodeUtf8(AText, pos));
  return out;
}

std::size_t WideLength(const char16_t* AText) noexcept {
  std::size_t n = 0;
  if (AText)
    while (AText[n]) ++n;
  return n;
}

std::u16string WideCopy(const char16_t* AText) { return std::u16string(AText ? AText : u"", WideLength(AText)); }

}  // namespace v8host
