#pragma once
// The loop the call hosts count and time: ACount calls of one method without
// parameters through the object's tables. Kept out of line so that the
// loop's own cost is one call per iteration, easy to tell apart from the
// add-in's.
#include "v8host/Component.h"

[[gnu::noinline]] inline void CallMany(v8host::TComponentObject& AObject, v8host::TV8Long AIndex, long ACount,
                                       v8host::TV8Variant& AResult) {
  for (long I = 0; I < ACount; ++I) AObject.CallAsFunc(AIndex, &AResult, nullptr, 0);
}
