#include "common/Text.h"

#include <cstdint>
#include <string_view>

namespace {

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

constexpr char32_t kReplacement = 0xFFFD;

// Copies the run of ASCII units that starts at AFrom to AOut in one go and
// answers where the run ends. Markup, names and numbers are mostly ASCII, so
// this is where both conversions spend their time.
template <typename TOut, typename TIn>
std::size_t AppendAsciiRun(TOut& AOut, std::basic_string_view<TIn> AText, std::size_t AFrom) {
  std::size_t End = AFrom;
  while (End < AText.size() && static_cast<std::uint32_t>(AText[End]) < 0x80) ++End;
  const std::size_t Old = AOut.size();
  AOut.resize(Old + (End - AFrom));
  for (std::size_t K = AFrom; K < End; ++K) AOut[Old + (K - AFrom)] = static_cast<typename TOut::value_type>(AText[K]);
  return End;
}

}  // namespace

std::string ToUtf8(std::u16string_view AText) {
  std::string Out;
  Out.reserve(AText.size());
  for (std::size_t I = 0; I < AText.size(); ++I) {
    I = AppendAsciiRun(Out, AText, I);
    if (I == AText.size()) break;
    char32_t C = AText[I];
    if (C >= 0xD800 && C <= 0xDBFF) {
      if (I + 1 < AText.size() && AText[I + 1] >= 0xDC00 && AText[I + 1] <= 0xDFFF) {
        C = 0x10000 + ((C - 0xD800) << 10) + (AText[I + 1] - 0xDC00);
        ++I;
      } else {
        C = kReplacement;
      }
    } else if (C >= 0xDC00 && C <= 0xDFFF) {
      C = kReplacement;
    }
    AppendUtf8(Out, C);
  }
  return Out;
}

std::u16string ToUtf16(std::string_view AText) {
  std::u16string Out;
  Out.reserve(AText.size());
  std::size_t I = 0;
  while (I < AText.size()) {
    I = AppendAsciiRun(Out, AText, I);
    if (I == AText.size()) break;
    const auto B = static_cast<unsigned char>(AText[I]);
    int Extra = B < 0x80 ? 0 : (B & 0xE0) == 0xC0 ? 1 : (B & 0xF0) == 0xE0 ? 2 : (B & 0xF8) == 0xF0 ? 3 : -1;
    if (Extra < 0) {
      AppendUtf16(Out, kReplacement);
      ++I;
      continue;
    }
    char32_t C = Extra == 0 ? B : Extra == 1 ? (B & 0x1F) : Extra == 2 ? (B & 0x0F) : (B & 0x07);
    bool Valid = true;
    for (int K = 1; K <= Extra; ++K) {
      if (I + K >= AText.size() || (static_cast<unsigned char>(AText[I + K]) & 0xC0) != 0x80) {
        Valid = false;
        break;
      }
      C = (C << 6) | (static_cast<unsigned char>(AText[I + K]) & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (!Valid || C < kMin[Extra] || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
      AppendUtf16(Out, kReplacement);
      ++I;
      continue;
    }
    AppendUtf16(Out, C);
    I += static_cast<std::size_t>(Extra) + 1;
  }
  return Out;
}

std::size_t WideLength(const char16_t* AText) noexcept {
  if (AText == nullptr) return 0;
  std::size_t N = 0;
  while (AText[N] != 0) ++N;
  return N;
}

char16_t FoldCase(char16_t C) noexcept {
  if (C >= u'A' && C <= u'Z') return static_cast<char16_t>(C + 32);
  if (C < 0x80) return C;
  if ((C >= 0xC0 && C <= 0xDE && C != 0xD7)) return static_cast<char16_t>(C + 32);   // Latin-1
  if (C >= 0x391 && C <= 0x3AB && C != 0x3A2) return static_cast<char16_t>(C + 32);  // Greek
  if (C >= 0x410 && C <= 0x42F) return static_cast<char16_t>(C + 32);                // Cyrillic А..Я
  if (C >= 0x400 && C <= 0x40F) return static_cast<char16_t>(C + 80);                // Ѐ..Џ, Ё
  return C;
}

bool SameTextIgnoreCase(std::u16string_view A, std::u16string_view B) noexcept {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (FoldCase(A[I]) != FoldCase(B[I])) return false;
  return true;
}

bool SameTextIgnoreAsciiCase(std::u16string_view A, std::u16string_view B) noexcept {
  if (A.size() != B.size()) return false;
  auto Lower = [](char16_t C) { return C >= u'A' && C <= u'Z' ? static_cast<char16_t>(C + 32) : C; };
  for (std::size_t I = 0; I < A.size(); ++I)
    if (Lower(A[I]) != Lower(B[I])) return false;
  return true;
}

std::u16string IntToText(long long AValue) {
  const std::string S = std::to_string(AValue);
  return std::u16string(S.begin(), S.end());
}

std::wstring ToWide(std::u16string_view AText) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    return std::wstring(AText.begin(), AText.end());
  } else {
    std::wstring Result;
    Result.reserve(AText.size());
    for (std::size_t I = 0; I < AText.size(); ++I) {
      const char32_t Unit = AText[I];
      if (Unit >= 0xD800 && Unit < 0xDC00 && I + 1 < AText.size() && AText[I + 1] >= 0xDC00 && AText[I + 1] < 0xE000) {
        Result.push_back(static_cast<wchar_t>(0x10000 + ((Unit - 0xD800) << 10) + (AText[I + 1] - 0xDC00)));
        ++I;
      } else {
        Result.push_back(static_cast<wchar_t>(Unit >= 0xD800 && Unit < 0xE000 ? 0xFFFD : Unit));
      }
    }
    return Result;
  }
}

std::u16string FromWide(std::wstring_view AText) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) {
    return std::u16string(AText.begin(), AText.end());
  } else {
    std::u16string Result;
    Result.reserve(AText.size());
    for (const wchar_t Char : AText) {
      auto Code = static_cast<char32_t>(Char);
      if (Code > 0x10FFFF || (Code >= 0xD800 && Code < 0xE000)) Code = 0xFFFD;
      if (Code >= 0x10000) {
        Result.push_back(static_cast<char16_t>(0xD800 + ((Code - 0x10000) >> 10)));
        Result.push_back(static_cast<char16_t>(0xDC00 + ((Code - 0x10000) & 0x3FF)));
      } else {
        Result.push_back(static_cast<char16_t>(Code));
      }
    }
    return Result;
  }
}
