#include "platform/OsError.h"

#include "common/Exception.h"
#include "common/Text.h"

namespace platform {

void RaiseOSError(std::u16string_view AWhat, unsigned long ACode) {
  std::u16string Message(AWhat);
  Message += u": ";
  Message += OSErrorText(ACode);
  Message += u" (code ";
  Message += IntToText(static_cast<long long>(ACode));
  Message += u")";
  throw Exception(std::move(Message));
}

}  // namespace platform
