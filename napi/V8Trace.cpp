#include "napi/V8Trace.h"

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

namespace v8trace_detail {

// Only the conversion to a value can fail: for a broken-down time that names
// no date, and for a kind the trace does not render.
void CheckRenderable(const V8Variant& V) {
  if (!AlwaysRenderable(V)) static_cast<void>(V8ToVariant(V));
}

void CheckParams(PV8ParamArray Params) {
  for (std::int32_t I = 0; I < Params.Count(); ++I) CheckRenderable(*Params[I]);
}

void WriteEnter(const std::u16string& AMethName, PV8ParamArray Params) {
  std::u16string Rendered = V8ParamsToStr(Params);
  const std::u16string Message = u"> " + AMethName;
  Common::Log::WriteLog(Message, u"Params: " + Rendered, Common::Log::llDebug);
}

void WriteLeave(const std::u16string& AMethName, PV8ParamArray Params, const V8Variant* ARetValue) {
  std::u16string Result = ARetValue != nullptr ? V8ToStr(*ARetValue) : std::u16string();
  std::u16string Rendered = V8ParamsToStr(Params);
  const std::u16string Message = u"< " + AMethName;
  std::u16string Details = ARetValue != nullptr ? u"Result=" + Result : std::u16string();
  Details += u"; Params: " + Rendered;
  Common::Log::WriteLog(Message, Details, Common::Log::llDebug);
}

}  // namespace v8trace_detail

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
