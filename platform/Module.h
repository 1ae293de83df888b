#pragma once
// What the add-in knows about its own module file (the library that holds
// this code, never the host's program file).
#include <cstdint>
#include <string>

namespace platform {

struct TFileVersion {
  std::uint16_t Major = 0;
  std::uint16_t Minor = 0;
  std::uint16_t Release = 0;
  std::uint16_t Build = 0;
};

// Full long path of the module that contains this code.
std::u16string ModuleLongFileName();

// Fixed file version of AFileName's version resource; an empty name means
// this module. A file without version information gives four zeros.
TFileVersion FileVersionOf(const std::u16string& AFileName);

}  // namespace platform
