#pragma once
// UTF-8 <-> UTF-16 for the harness. The harness declares the platform's
// binary interface on its own; only these text helpers are shared.
#include <cstddef>
#include <string>
#include <string_view>

namespace v8host {

// Unpaired surrogates and invalid sequences become U+FFFD.
std::string ToUtf8(std::u16string_view AText);
std::u16string ToUtf16(std::string_view AText);

// Length of a zero-terminated UTF-16 text; 0 for null.
std::size_t WideLength(const char16_t* AText) noexcept;
// Copy of a zero-terminated UTF-16 text; empty for null.
std::u16string WideCopy(const char16_t* AText);

}  // namespace v8host
