#pragma once
// The three entry points the platform looks up in the library.
#include "napi/V8Variant.h"
#include "platform/Export.h"

extern "C" {
QUORVEL_EXPORT const char16_t* GetClassNames() noexcept;
QUORVEL_EXPORT TV8Long GetClassObject(const char16_t* AName, void** AObject) noexcept;
QUORVEL_EXPORT TV8Long DestroyObject(void** AObject) noexcept;
}
