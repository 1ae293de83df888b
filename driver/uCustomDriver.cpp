#include "driver/uCustomDriver.h"

#include "common/Exception.h"
#include "common/Text.h"

void TResult::Clear() {
  ErrorCode = 0;
  ErrorDescription.clear();
  BoolResult = true;
}

void TResult::SetError(std::u16string ADescription, std::int32_t AErrorCode) {
  ErrorCode = AErrorCode;
  ErrorDescription = std::move(ADescription);
  BoolResult = false;
}

std::int32_t TResult::GetIntResult() const noexcept {
  if (BoolResult) return 0;
  return ErrorCode != 0 ? ErrorCode : kDriverErrorCode;
}

namespace {

std::u16string& DriverExtensionText() {
  static std::u16string Text;
  return Text;
}

}  // namespace

const std::u16string& DriverExtension() { return DriverExtensionText(); }
void SetDriverExtension(std::u16string AExtension) { DriverExtensionText() = std::move(AExtension); }

void RaisePropertyTypeUnacceptable() { throw Exception(std::u16string(u"Property type unacceptable")); }
void RaiseValueTypeUnacceptable() { throw Exception(std::u16string(u"Value type unacceptable")); }

TCustomDriver::TCustomDriver() { FLastResult.Clear(); }

void TCustomDriver::SetSuccess(PV8Variant RetValue) {
  FLastResult.Clear();
  if (RetValue != nullptr) V8SetBool(RetValue, true);
}

void TCustomDriver::SetOutputText(PV8Variant V, std::u16string_view AText) const {
  if (!V8SetWString(V, AText) && V != nullptr) throw Exception(std::u16string(kRefusedMemoryMessage));
}

void TCustomDriver::HandleException(std::exception_ptr E, PV8Variant RetValue, std::int32_t ErrorCode) {
  FLastResult.SetError(ExceptionMessage(E), ErrorCode);
  if (RetValue != nullptr) V8SetBool(RetValue, false);
  try {
    Common::Log::WriteLog(u"Exception", FLastResult.ErrorDescription, Common::Log::llError);
  } catch (...) {
    // The failure is recorded for GetLastError; a log that cannot be
    // written must not hide it.
  }
}

bool TCustomDriver::PropertyGetSet(const std::u16string& PropName, PV8Variant propValue, bool Get,
                                   TV8AddInDefBaseEx*) {
  bool Found = false;
  EnumerateDeclarations(TDeclarationVisitor{{},
                                            [&](const TPropDecl& D) {
                                              if (!SameTextIgnoreCase(D.Name, PropName) &&
                                                  !SameTextIgnoreCase(D.Attr.NameLoc, PropName))
                                                return;
                                              Found = true;
                                              if (Get) {
                                                D.Get(*this, propValue);
                                              } else {
                                                if (D.Attr.ReadOnly)
                                                  throw Exception(u"Property is read-only: " + PropName);
                                                D.Set(*this, propValue);
                                              }
                                            },
                                            {}});
  if (!Found) throw Exception(u"Property not found: " + PropName);
  return true;
}

void TCustomDriver::PropertySet(const std::u16string& PropName, const V8Variant* propValue) {
  PropertyGetSet(PropName, const_cast<PV8Variant>(propValue), false, nullptr);
}
