#pragma once
// The operations of a component object exactly as the platform calls them:
// through the three table pointers at the start of the object, by slot
// position, with the platform's argument types. No ownership, no checks.
#include "v8host/Abi.h"

namespace v8host {

class TComponentObject {
 public:
  explicit TComponentObject(void* AObject) noexcept : FObject(AObject) {}
  void* Address() const noexcept { return FObject; }
  // The view (table pointer position) AView of the object.
  void* View(std::size_t AView) const noexcept { return static_cast<void**>(FObject) + AView; }

  // IInitDoneBase
  bool Init(void* AServices) const;
  bool SetMemManager(void* AMemory) const;
  TV8Long GetInfo() const;
  void Done() const;

  // ILanguageExtenderBase
  bool RegisterExtensionAs(char16_t** AName) const;
  TV8Long GetNProps() const;
  TV8Long FindProp(const char16_t* AName) const;
  const char16_t* GetPropName(TV8Long AIndex, TV8Long AAlias) const;
  bool GetPropVal(TV8Long AIndex, TV8Variant* AValue) const;
  bool SetPropVal(TV8Long AIndex, TV8Variant* AValue) const;
  bool IsPropReadable(TV8Long AIndex) const;
  bool IsPropWritable(TV8Long AIndex) const;
  TV8Long GetNMethods() const;
  TV8Long FindMethod(const char16_t* AName) const;
  const char16_t* GetMethodName(TV8Long AIndex, TV8Long AAlias) const;
  TV8Long GetNParams(TV8Long AIndex) const;
  bool GetParamDefValue(TV8Long AMethod, TV8Long AParam, TV8Variant* AValue) const;
  bool HasRetVal(TV8Long AIndex) const;
  bool CallAsProc(TV8Long AIndex, TV8Variant* AParams, TV8Long ACount) const;
  bool CallAsFunc(TV8Long AIndex, TV8Variant* AResult, TV8Variant* AParams, TV8Long ACount) const;

  // LocaleBase
  void SetLocale(const char16_t* ALocale) const;

 private:
  void* FObject;
};

}  // namespace v8host
