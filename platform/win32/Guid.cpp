#include "platform/Guid.h"

#include "common/Exception.h"
#include "platform/OsError.h"
#include "platform/win32/GuidSource.h"

namespace platform {

namespace {

// An HRESULT that wraps a Win32 error is reported by that error, whose text
// the system knows; any other is reported as it is.
unsigned long SystemErrorCode(HRESULT AResult) noexcept {
  if (HRESULT_FACILITY(AResult) == FACILITY_WIN32) return static_cast<unsigned long>(HRESULT_CODE(AResult));
  return static_cast<unsigned long>(AResult);
}

}  // namespace

std::u16string NewGuidTextFrom(TGuidSource ASource) {
  GUID guid{};
  const HRESULT result = ASource(&guid);
  if (FAILED(result))
    RaiseOSError(u"Cannot create a GUID", SystemErrorCode(result));
  wchar_t text[40] = {};
  // StringFromGUID2 writes the registry form with upper-case digits.
  const int length = StringFromGUID2(guid, text, 40);
  if (length <= 1)
    throw Exception(std::u16string(u"Cannot create a GUID"));
  return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length - 1));
}

std::u16string NewGuidText() { return NewGuidTextFrom(&CoCreateGuid); }

}  // namespace platform
