#pragma once
// Resources carried inside the add-in module: raw-data (RCDATA) resources
// looked up by name without regard to letter case, and string resources by
// number. On Windows they come from the module's resource section, on other
// targets from data embedded at build time.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::span<const std::byte>> FindRawResource(std::u16string_view AName);

// Empty when the module has no string with that number.
std::u16string LoadStringResource(unsigned AId);

}  // namespace platform
