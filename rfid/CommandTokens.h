#pragma once
// The words of a control tool's line (both versions): separated by single
// spaces, each of printable ASCII.
#include <optional>
#include <string_view>
#include <vector>

// The words; nothing when a word is empty or holds anything but printable
// ASCII.
std::optional<std::vector<std::string_view>> CommandTokens(std::string_view AText);
