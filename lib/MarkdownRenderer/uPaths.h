#pragma once
// Conversions between the program's UTF-16 texts and file-system paths.
#include <filesystem>
#include <string>

inline std::filesystem::path ToPath(const std::u16string& AText) { return std::filesystem::path(AText); }
inline std::u16string FromPath(const std::filesystem::path& APath) { return APath.u16string(); }
