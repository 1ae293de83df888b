#pragma once
// How the platform's C++ interfaces look in memory on this target.
//
// The platform declares its interfaces as classes whose first virtual member
// is the destructor and calls them through their vtables by position:
// - Windows (the platform is built with MSVC): one destructor slot; on x86
//   every operation is __stdcall with the object address pushed first.
// - Linux (GCC, Itanium C++ ABI): a virtual destructor takes two slots.
// The bridge builds its tables and calls the host from these facts instead
// of relying on this compiler's own vtable layout.
#include <cstddef>

namespace platform {

#if defined(_WIN32)
inline constexpr std::size_t kDestructorSlots = 1;
// The platform's value record: its size and where its element count and
// type word lie.
inline constexpr std::size_t kVariantSize = 48;
inline constexpr std::size_t kVariantElementsOffset = 40;
inline constexpr std::size_t kVariantTypeOffset = 44;
#else
inline constexpr std::size_t kDestructorSlots = 2;
inline constexpr std::size_t kVariantSize = 64;
inline constexpr std::size_t kVariantElementsOffset = 56;
inline constexpr std::size_t kVariantTypeOffset = 60;
#endif

}  // namespace platform

#if defined(_WIN32) && !defined(_WIN64)
#define V8_API __stdcall
#else
#define V8_API
#endif

// The C library's broken-down time, as the platform puts it into its value
// record (nine int fields on Windows; glibc adds two more on Linux).
#include <ctime>
using TV8SystemTm = struct tm;
