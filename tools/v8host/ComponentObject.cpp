#include "v8host/ComponentObject.h"

#include "v8host/Tables.h"

namespace v8host {

bool TComponentObject::Init(void* AServices) const {
  return CallOperation<bool>(View(kInitDoneView), InitDone::Init, AServices);
}
bool TComponentObject::SetMemManager(void* AMemory) const {
  return CallOperation<bool>(View(kInitDoneView), InitDone::SetMemManager, AMemory);
}
TV8Long TComponentObject::GetInfo() const { return CallOperation<TV8Long>(View(kInitDoneView), InitDone::GetInfo); }
void TComponentObject::Done() const { CallOperation<void>(View(kInitDoneView), InitDone::Done); }

bool TComponentObject::RegisterExtensionAs(char16_t** AName) const {
  return CallOperation<bool>(View(kExtenderView), Extender::RegisterExtensionAs, AName);
}
TV8Long TComponentObject::GetNProps() const {
  return CallOperation<TV8Long>(View(kExtenderView), Extender::GetNProps);
}
TV8Long TComponentObject::FindProp(const char16_t* AName) const {
  return CallOperation<TV8Long>(View(kExtenderView), Extender::FindProp, AName);
}
const char16_t* TComponentObject::GetPropName(TV8Long AIndex, TV8Long AAlias) const {
  return CallOperation<const char16_t*>(View(kExtenderView), Extender::GetPropName, AIndex, AAlias);
}
bool TComponentObject::GetPropVal(TV8Long AIndex, TV8Variant* AValue) const {
  return CallOperation<bool>(View(kExtenderView), Extender::GetPropVal, AIndex, AValue);
}
bool TComponentObject::SetPropVal(TV8Long AIndex, TV8Variant* AValue) const {
  return CallOperation<bool>(View(kExtenderView), Extender::SetPropVal, AIndex, AValue);
}
bool TComponentObject::IsPropReadable(TV8Long AIndex) const {
  return CallOperation<bool>(View(kExtenderView), Extender::IsPropReadable, AIndex);
}
bool TComponentObject::IsPropWritable(TV8Long AIndex) const {
  return CallOperation<bool>(View(kExtenderView), Extender::IsPropWritable, AIndex);
}
TV8Long TComponentObject::GetNMethods() const {
  return CallOperation<TV8Long>(View(kExtenderView), Extender::GetNMethods);
}
TV8Long TComponentObject::FindMethod(const char16_t* AName) const {
  return CallOperation<TV8Long>(View(kExtenderView), Extender::FindMethod, AName);
}
const char16_t* TComponentObject::GetMethodName(TV8Long AIndex, TV8Long AAlias) const {
  return CallOperation<const char16_t*>(View(kExtenderView), Extender::GetMethodName, AIndex, AAlias);
}
TV8Long TComponentObject::GetNParams(TV8Long AIndex) const {
  return CallOperation<TV8Long>(View(kExtenderView), Extender::GetNParams, AIndex);
}
bool TComponentObject::GetParamDefValue(TV8Long AMethod, TV8Long AParam, TV8Variant* AValue) const {
  return CallOperation<bool>(View(kExtenderView), Extender::GetParamDefValue, AMethod, AParam, AValue);
}
bool TComponentObject::HasRetVal(TV8Long AIndex) const {
  return CallOperation<bool>(View(kExtenderView), Extender::HasRetVal, AIndex);
}
bool TComponentObject::CallAsProc(TV8Long AIndex, TV8Variant* AParams, TV8Long ACount) const {
  return CallOperation<bool>(View(kExtenderView), Extender::CallAsProc, AIndex, AParams, ACount);
}
bool TComponentObject::CallAsFunc(TV8Long AIndex, TV8Variant* AResult, TV8Variant* AParams, TV8Long ACount) const {
  return CallOperation<bool>(View(kExtenderView), Extender::CallAsFunc, AIndex, AResult, AParams, ACount);
}

void TComponentObject::SetLocale(const char16_t* ALocale) const {
  CallOperation<void>(View(kLocaleView), Locale::SetLocale, ALocale);
}

}  // namespace v8host
