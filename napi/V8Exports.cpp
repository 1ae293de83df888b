// The three entry points the platform looks up in the library.
#include <new>

#include "common/Common.Log.h"
#include "napi/ClassRegistry.h"
#include "napi/V8ComponentObject.h"
#include "napi/V8Exports.h"

extern "C" {

// The platform asks for the names first, outside the library's load: the
// place to log a registration that failed while the library loaded (the log
// may not be written under the loader's lock).
QUORVEL_EXPORT const char16_t* GetClassNames() noexcept {
  const std::u16string LoadFailure = ClassRegList().TakeLoadFailure();
  if (!LoadFailure.empty()) {
    try {
      Common::Log::WriteLogAlways(u"Registration failed", LoadFailure, Common::Log::llError);
    } catch (...) {
      // The log cannot be written either: the empty list of names is all
      // the platform can be told.
    }
  }
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
