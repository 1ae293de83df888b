#include "napi/V8Trace.h"

#include "common/Common.Log.h"

std::u16string V8ParamsToStr(PV8ParamArray Params) {
  std::u16string Text;
  Text.reserve(64);
  Text += u'[';
  for (std::int32_t I = 0; I < Params.Count(); ++I) {
    if (I > 0) Text += u"; ";
    const V8Variant& V = *Params[I];
    if (V.vt == VTYPE_BLOB)
      Text += u"BLOB";
    else
      Text += V8ToStr(V);
  }
  Text += u']';
  return Text;
}

// The parameters are rendered on every call, whatever the log admits: a
// value that cannot be rendered fails the call the same way with the log
// on or off. Only the line around them is skipped when nobody reads it.

void V8TraceEnter(std::u16string_view AMethName, PV8ParamArray Params) {
  std::u16string Rendered = V8ParamsToStr(Params);
  if (!Common::Log::LogAdmits(Common::Log::llDebug)) return;
  const std::u16string Message = u"> " + std::u16string(AMethName);
  Common::Log::WriteLog(Message, u"Params: " + Rendered, Common::Log::llDebug);
}

void V8TraceLeave(std::u16string_view AMethName, PV8ParamArray Params, const V8Variant* ARetValue) {
  std::u16string Result = ARetValue != nullptr ? V8ToStr(*ARetValue) : std::u16string();
  std::u16string Rendered = V8ParamsToStr(Params);
  if (!Common::Log::LogAdmits(Common::Log::llDebug)) return;
  const std::u16string Message = u"< " + std::u16string(AMethName);
  std::u16string Details = ARetValue != nullptr ? u"Result=" + Result : std::u16string();
  Details += u"; Params: " + Rendered;
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
