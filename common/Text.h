#pragma once
// Text helpers. Texts are UTF-16 (char16_t) inside the program and at the
// platform boundary; files are UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view AText);
// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::u16string ToUtf16(std::string_view AText);

// UTF-16 to the platform's wide text (UTF-16 where wchar_t has 16 bits,
// UTF-32 where it has 32) and back; an unpaired surrogate becomes U+FFFD.
std::wstring ToWide(std::u16string_view AText);
std::u16string FromWide(std::wstring_view AText);

// Length of a zero-terminated UTF-16 text; 0 for null.
std::size_t WideLength(const char16_t* AText) noexcept;

// Simple case folding for Latin, Latin-1, Greek and Cyrillic letters,
// enough for every name the platform and the driver use.
char16_t FoldCase(char16_t AChar) noexcept;
bool SameTextIgnoreCase(std::u16string_view A, std::u16string_view B) noexcept;
// ASCII letters only, everything else compared exactly.
bool SameTextIgnoreAsciiCase(std::u16string_view A, std::u16string_view B) noexcept;

// Small formatting helpers for UTF-16.
std::u16string IntToText(long long AValue);
