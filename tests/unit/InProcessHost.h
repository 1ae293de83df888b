#pragma once
// The host harness driving the add-in's own objects linked into the test
// program: the same tables and records the platform uses, no library file.
#include <gtest/gtest.h>

#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"
#include "v8host/Component.h"

inline const v8host::TAddinLibrary& InProcessAddin() {
  static const v8host::TAddinLibrary Library =
      v8host::TAddinLibrary::FromEntryPoints({&GetClassNames, &GetClassObject, &DestroyObject});
  return Library;
}

// The add-in's object behind a component the harness created.
template <typename T>
T& UserObjectOf(v8host::TComponent& AComponent) {
  auto* Component = reinterpret_cast<TV8ComponentObject*>(AComponent.Raw().Address());
  return dynamic_cast<T&>(*Component->UserObject[0]);
}

// The host's memory manager as the add-in sees it.
inline TV8MemoryManager* AddinView(v8host::TMemoryManager& AManager) {
  return static_cast<TV8MemoryManager*>(AManager.Interface());
}
