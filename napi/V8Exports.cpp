// The three entry points the platform looks up in the library.
#include <new>

#include "napi/ClassRegistry.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"

extern "C" {

QUORVEL_EXPORT const char16_t* GetClassNames() noexcept {
  return ClassRegList().ClassNames();
}

QUORVEL_EXPORT TV8Long GetClassObject(const char16_t* AName, void** AObject) noexcept {
  if (AName == nullptr || AObject == nullptr) return 0;
  try {
    const TClassReg* Reg = ClassRegList().FindClass(AName);
    if (Reg == nullptr || Reg->UserClass == nullptr) return 0;
    std::unique_ptr<TV8UserObject> Object = Reg->UserClass();
    if (!Object) return 0;
    Object->ClassReg = Reg;
    *AObject = V8CreateComponentObject(std::move(Object));
    return 1;
  } catch (...) {
    // A class that cannot be constructed is simply not handed out.
    return 0;
  }
}

QUORVEL_EXPORT TV8Long DestroyObject(void** AObject) noexcept {
  if (AObject == nullptr || *AObject == nullptr) return 0;
  V8DestroyComponentObject(static_cast<TV8ComponentObject*>(*AObject));
  return 0;
}

}  // extern "C"
