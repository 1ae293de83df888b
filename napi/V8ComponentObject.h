#pragma once
// The object whose address the host receives from GetClassObject: three
// table references (IInitDoneBase, ILanguageExtenderBase, LocaleBase), then
// the user object three times, one copy at the same distance from each
// table reference, so every operation finds it whichever way it was called.
#include "napi/V8UserObject.h"

struct TV8ComponentObject {
  const void* InitDoneTable;
  const void* LanguageExtenderTable;
  const void* LocaleTable;
  TV8UserObject* UserObject[3];
};

// Builds the component object for a new user object (taking ownership).
TV8ComponentObject* V8CreateComponentObject(std::unique_ptr<TV8UserObject> AObject);
// Destroys the user object and releases the component object.
void V8DestroyComponentObject(TV8ComponentObject* AObject) noexcept;
