#pragma once
// The trace of every method call and the report of every failure that
// escapes a routine: an AddError to the host and an error line in the log.
#include <string>
#include <string_view>

#include "napi/V8UserObject.h"

// "[" v1 "; " v2 ... "]"; a blob renders as BLOB. Raises for a value that
// cannot be rendered.
std::u16string V8ParamsToStr(PV8ParamArray Params);
void V8TraceEnter(std::u16string_view AMethName, PV8ParamArray Params);
// ARetValue is null for procedure calls.
void V8TraceLeave(std::u16string_view AMethName, PV8ParamArray Params, const V8Variant* ARetValue);
// Reports a failure to the host (AddError 1006) and the log. Never throws.
void V8ReportException(const TV8UserObject& AObject, std::u16string_view AMessage) noexcept;

// The source text of every error report.
inline constexpr char16_t kV8ErrorSource[] = u"Внешняя компонента";
inline constexpr unsigned short kV8ErrorCode = 1006;
