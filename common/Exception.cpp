#include "common/Exception.h"

#include <new>

#include "common/Text.h"

Exception::Exception(std::u16string AMessage) : FMessage(std::move(AMessage)), FUtf8(ToUtf8(FMessage)) {}

Exception::Exception(std::string_view AUtf8Message) : FMessage(ToUtf16(AUtf8Message)), FUtf8(AUtf8Message) {}

std::u16string ExceptionMessage(std::exception_ptr AError) {
  try {
    std::rethrow_exception(AError);
  } catch (const Exception& E) {
    return E.Message();
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (const std::exception& E) {
    return ToUtf16(E.what());
  } catch (...) {
    return u"Unknown failure";
  }
}
