#include "napi/V8Trace.h"

#include "common/Common.Log.h"

std::u16string V8ParamsToStr(PV8ParamArray Params) {
  std::u16string Text = u"[";
  for (std::int32_t I = 0; I < Params.Count(); ++I) {
    if (I > 0) Text += u"; ";
    const V8Variant& V = *Params[I];
    Text += V.vt == VTYPE_BLOB ? std::u16string(u"BLOB") : V8ToStr(V);
  }
  return Text + u"]";
}

void V8TraceEnter(std::u16string_view AMethName, PV8ParamArray Params) {
  const std::u16string Message = u"> " + std::u16string(AMethName);
  const std::u16string Details = u"Params: " + V8ParamsToStr(Params);
  Common::Log::WriteLog(Message, Details, Common::Log::llDebug);
}

void V8TraceLeave(std::u16string_view AMethName, PV8ParamArray Params, const V8Variant* ARetValue) {
  const std::u16string Message = u"< " + std::u16string(AMethName);
  std::u16string Details = ARetValue != nullptr ? u"Result=" + V8ToStr(*ARetValue) : std::u16string();
  Details += u"; Params: " + V8ParamsToStr(Params);
  Common::Log::WriteLog(Message, Details, Common::Log::llDebug);
}

void V8ReportException(const TV8UserObject& AObject, std::u16string_view AMessage) noexcept {
  try {
    if (AObject.V8 != nullptr) {
      char16_t* Description = V8CopyWString(AObject.V8MM, AMessage);
      AObject.V8->AddError(kV8ErrorCode, kV8ErrorSource, Description, V8_E_FAIL);
    }
  } catch (...) {
    // The host's own failure while taking the report is not ours to raise.
  }
  try {
    Common::Log::WriteLog(u"EXCEPTION", AMessage, Common::Log::llError);
  } catch (...) {
    // A log that cannot be written must not turn a report into a crash.
  }
}
