#include "platform/Guid.h"

#include <array>
#include <cstdint>
#include <random>

namespace platform {

// A random (version 4) GUID, written as Windows writes GUIDs.
std::u16string NewGuidText() {
  std::random_device source;
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    const std::uint32_t word = source();
    for (std::size_t k = 0; k < 4; ++k)
      bytes[i + k] = static_cast<std::uint8_t>(word >> (8 * k));
  }
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant

  static constexpr char16_t Digits[] = u"0123456789ABCDEF";
  std::u16string text = u"{";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10)
      text += u'-';
    text += Digits[bytes[i] >> 4];
    text += Digits[bytes[i] & 0x0F];
  }
  text += u'}';
  return text;
}

}  // namespace platform
