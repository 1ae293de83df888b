#pragma once
// The module's resources as data compiled into the program (the source is
// generated at build time from the files in resources/).
#include <cstddef>
#include <span>

namespace platform::embedded {

struct TRawResource {
  const char16_t* Name;
  const unsigned char* Data;
  std::size_t Size;
};

struct TStringResource {
  unsigned Id;
  const char16_t* Text;
};

std::span<const TRawResource> RawResources() noexcept;
std::span<const TStringResource> StringResources() noexcept;

}  // namespace platform::embedded
