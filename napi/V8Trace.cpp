#include "napi/V8Trace.h"

#include "common/Common.Log.h"

namespace {

// Raises exactly what rendering V would raise, without composing its text.
// Only the conversion to a value can fail: for a broken-down time that names
// no date, and for a kind the trace does not render.
void V8CheckRenderable(const V8Variant& V) {
  switch (V.vt) {
    case VTYPE_EMPTY:
    case VTYPE_I4:
    case VTYPE_R8:
    case VTYPE_BOOL:
    case VTYPE_I8:
    case VTYPE_PWSTR:
    case VTYPE_INTERFACE:
    case VTYPE_BLOB: return;
    default: static_cast<void>(V8ToVariant(V));
  }
}

void V8CheckParams(PV8ParamArray Params) {
  for (std::int32_t I = 0; I < Params.Count(); ++I) V8CheckRenderable(*Params[I]);
}

}  // namespace

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

// The parameters are checked on every call, whatever the log admits: a
// value that cannot be rendered fails the call the same way with the log
// on or off. Their text, and the line around it, is composed only when the
// log will take it.

void V8TraceEnter(std::u16string_view AMethName, PV8ParamArray Params) {
  if (!Common::Log::LogAdmits(Common::Log::llDebug)) {
    V8CheckParams(Params);
    return;
  }
  std::u16string Rendered = V8ParamsToStr(Params);
  const std::u16string Message = u"> " + std::u16string(AMethName);
  Common::Log::WriteLog(Message, u"Params: " + Rendered, Common::Log::llDebug);
}

void V8TraceLeave(std::u16string_view AMethName, PV8ParamArray Params, const V8Variant* ARetValue) {
  if (!Common::Log::LogAdmits(Common::Log::llDebug)) {
    if (ARetValue != nullptr) V8CheckRenderable(*ARetValue);
    V8CheckParams(Params);
    return;
  }
  std::u16string Result = ARetValue != nullptr ? V8ToStr(*ARetValue) : std::u16string();
  std::u16string Rendered = V8ParamsToStr(Params);
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
