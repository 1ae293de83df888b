#include "v8host/Text.h"

#include "common/Text.h"

namespace v8host {

// The conversions are plain UTF work, shared with the add-in's own helpers;
// nothing of the binary interface the harness checks depends on them.
std::string ToUtf8(std::u16string_view AText) { return ::ToUtf8(AText); }

std::u16string ToUtf16(std::string_view AText) { return ::ToUtf16(AText); }

std::size_t WideLength(const char16_t* AText) noexcept { return ::WideLength(AText); }

std::u16string WideCopy(const char16_t* AText) { return std::u16string(AText ? AText : u"", WideLength(AText)); }

}  // namespace v8host
