#pragma once
// The GUID text of platform/Guid.h made from a given source of GUIDs, so
// that a source the system refuses can be tried out.
#include <objbase.h>

#include <string>

namespace platform {

using TGuidSource = HRESULT(WINAPI*)(GUID* AGuid);

// A new GUID from ASource in its registry text form; the system's error
// (its text and code) when ASource fails.
std::u16string NewGuidTextFrom(TGuidSource ASource);

}  // namespace platform
