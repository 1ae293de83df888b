#pragma once
// Newly generated globally unique identifiers.
#include <string>

namespace platform {

// A new GUID in its registry text form: 38 characters, an opening brace,
// upper-case hexadecimal digits grouped 8-4-4-4-12 and joined by hyphens,
// a closing brace. Throws Exception when the system cannot make one.
std::u16string NewGuidText();

}  // namespace platform
