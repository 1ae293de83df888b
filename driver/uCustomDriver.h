#pragma once
// The base of every driver object the host sees: registration from the
// declarations beside the members, property access by name, the outcome of
// the last host call and the frame every exported method runs in.
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "driver/Declarations.h"
#include "napi/v8napi.h"

// The outcome of the last driver call of one object.
struct TResult {
  std::int32_t ErrorCode = 0;
  std::u16string ErrorDescription;
  bool BoolResult = true;

  void Clear();
  void SetError(std::u16string ADescription, std::int32_t AErrorCode);
  // 0 on success; otherwise the code, or 1001 when the code is 0.
  std::int32_t GetIntResult() const noexcept;
};

// The code every driver failure is recorded with.
inline constexpr std::int32_t kDriverErrorCode = 1001;
// Why a call whose text the platform would not take failed.
inline constexpr char16_t kRefusedMemoryMessage[] = u"The platform refused memory for the result";

class TCustomDriver : public TV8UserObject {
public:
  TCustomDriver();

  const TResult& LastResult() const noexcept { return FLastResult; }

  // Records a failure: last result, host Boolean false, an error log line.
  virtual void HandleException(std::exception_ptr E, PV8Variant RetValue, std::int32_t ErrorCode);

  // Reads (Get) or writes a property found by its English or Russian name,
  // in any letter case. Raises on an unknown, read-only or unusable one.
  bool PropertyGetSet(const std::u16string& PropName, PV8Variant propValue, bool Get, TV8AddInDefBaseEx* v8);
  void PropertySet(const std::u16string& PropName, const V8Variant* propValue);

  // Registers AClass and its exported members with the host bridge.
  template <typename AClass>
  static TClassReg& RegisterClass(const std::u16string& AExtension);
  // RegisterClass, then remembers the extension and names the log after it.
  template <typename AClass>
  static TClassReg& RegisterDriver(const std::u16string& AExtension);

  // Work done on every new object of AClass after its construction.
  template <typename AClass>
  static void AfterCreate(AClass&) {}

  // The walk over this class's declarations and its ancestors'.
  static void EnumerateClass(const TDeclarationVisitor&) {}
  virtual void EnumerateDeclarations(const TDeclarationVisitor& AVisitor) const { EnumerateClass(AVisitor); }

  // Entries the declaration macros bind members to.
  template <auto AMethod>
  static bool MethodEntry(TV8UserObject& ASelf, PV8Variant RetValue, PV8ParamArray Params, std::int32_t ParamCount,
                          TV8AddInDefBaseEx*& V8);
  template <auto AField>
  static TPropDecl FieldProperty(std::u16string_view AName, ExportPropAttribute AAttr);
  template <auto AGetter, auto ASetter>
  static TPropDecl AccessorProperty(std::u16string_view AName, ExportPropAttribute AAttr);
  template <auto AMethod>
  static void ActionEntry(TCustomDriver& ASelf);

protected:
  // Runs an exported method's work in the frame: success clears the last
  // result and answers host true; any failure is recorded with 1001 and
  // answers host false. The call itself always answers true.
  template <typename TWork>
  bool ExportedFrame(PV8Variant RetValue, TWork&& AWork);
  // The same, with a method's own step after a failure has been recorded
  // (it gets the failure and must not throw).
  template <typename TWork, typename TOnFailure>
  bool ExportedFrame(PV8Variant RetValue, TWork&& AWork, TOnFailure&& AOnFailure);
  void SetSuccess(PV8Variant RetValue);
  // Hands a text to the host in V. When the host refuses the memory for it
  // the call fails: an empty text with success would read as an empty
  // answer (no tags, no settings) instead of a failure.
  void SetOutputText(PV8Variant V, std::u16string_view AText) const;

  TResult FLastResult;

private:
  template <typename T>
  static void ReadHostValue(T& ATarget, const V8Variant* AValue);
  template <typename T>
  void WriteHostValue(const T& ASource, PV8Variant AValue) const;
};

// The extension name last given to RegisterDriver.
const std::u16string& DriverExtension();
void SetDriverExtension(std::u16string AExtension);
// Failure messages of property access.
[[noreturn]] void RaisePropertyTypeUnacceptable();
[[noreturn]] void RaiseValueTypeUnacceptable();

#include "driver/uCustomDriver.inl"
