#pragma once
// The trace of every method call and the report of every failure that
// escapes a routine: an AddError to the host and an error line in the log.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Common.Log.h"
#include "napi/V8UserObject.h"

// "[" v1 "; " v2 ... "]"; a blob renders as BLOB. Raises for a value that
// cannot be rendered.
std::u16string V8ParamsToStr(PV8ParamArray Params);

// Reports a failure to the host (AddError 1006) and the log. Never throws.
void V8ReportException(const TV8UserObject& AObject, std::u16string_view AMessage) noexcept;

// The source text of every error report.
inline constexpr char16_t kV8ErrorSource[] = u"Внешняя компонента";
inline constexpr unsigned short kV8ErrorCode = 1006;

// The parts of the trace that are not inline.
namespace v8trace_detail {

// The trace's lines, written when the log admits them (cold: the log is
// normally off, and writing the line costs far more than the call).
[[gnu::cold]] void WriteEnter(const std::u16string& AMethName, PV8ParamArray Params);
[[gnu::cold]] void WriteLeave(const std::u16string& AMethName, PV8ParamArray Params, const V8Variant* ARetValue);
// Raises exactly what rendering V (each parameter) would raise, without
// composing any text.
void CheckRenderable(const V8Variant& V);
void CheckParams(PV8ParamArray Params);

// Kinds whose rendering cannot fail (the type code with no flag bits).
inline constexpr std::uint32_t kAlwaysRenderable = 1u << VTYPE_EMPTY | 1u << VTYPE_I4 | 1u << VTYPE_R8 |
                                                   1u << VTYPE_BOOL | 1u << VTYPE_I8 | 1u << VTYPE_PWSTR |
                                                   1u << VTYPE_INTERFACE | 1u << VTYPE_BLOB;
inline bool AlwaysRenderable(const V8Variant& V) noexcept {
  if (V.vt < 32) [[likely]]
    return (kAlwaysRenderable >> V.vt & 1u) != 0;
  return false;
}

}  // namespace v8trace_detail

// The trace around a call. The parameters (and the result) are checked on
// every call, whatever the log admits: a value that cannot be rendered fails
// the call the same way with the log on or off. Their text, and the line
// around it, is composed only when the log will take it. Inline: with the
// log off, a call without parameters costs one relaxed load and a branch
// here, and its result's kind one test.
inline void V8TraceEnter(const std::u16string& AMethName, PV8ParamArray Params) {
  if (Common::Log::LogAdmits(Common::Log::llDebug)) [[unlikely]]
    v8trace_detail::WriteEnter(AMethName, Params);
  else if (Params.Count() > 0)
    v8trace_detail::CheckParams(Params);
}

// ARetValue is null for procedure calls.
inline void V8TraceLeave(const std::u16string& AMethName, PV8ParamArray Params, const V8Variant* ARetValue) {
  if (Common::Log::LogAdmits(Common::Log::llDebug)) [[unlikely]] {
    v8trace_detail::WriteLeave(AMethName, Params, ARetValue);
    return;
  }
  if (ARetValue != nullptr && !v8trace_detail::AlwaysRenderable(*ARetValue))
    v8trace_detail::CheckRenderable(*ARetValue);
  if (Params.Count() > 0) v8trace_detail::CheckParams(Params);
}
