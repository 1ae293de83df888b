#include "platform/Guid.h"

#include <objbase.h>

#include "common/Exception.h"

namespace platform {

std::u16string NewGuidText() {
  GUID guid{};
  if (FAILED(CoCreateGuid(&guid)))
    throw Exception(std::u16string(u"Cannot create a GUID"));
  wchar_t text[40] = {};
  // StringFromGUID2 writes the registry form with upper-case digits.
  const int length = StringFromGUID2(guid, text, 40);
  if (length <= 1)
    throw Exception(std::u16string(u"Cannot create a GUID"));
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length - 1));
}

}  // namespace platform
