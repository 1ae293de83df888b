#include "napi/V8ComponentObject.h"

#include <algorithm>
#include <limits>
#include <type_traits>

#include "common/Exception.h"
#include "napi/ClassRegistry.h"
#include "napi/V8Trace.h"

namespace {

// Every operation receives the address of the table reference it was called
// through; the user object sits three pointers further on.
TV8UserObject& UserOf(void* ASelf) noexcept { return *static_cast<TV8UserObject**>(ASelf)[3]; }

const TClassReg& ClassOf(void* ASelf) noexcept { return *UserOf(ASelf).ClassReg; }

// The count the host passed, within 0 .. the largest int32.
std::int32_t ClampCount(TV8Long ACount) noexcept {
  constexpr TV8Long kMax = std::numeric_limits<std::int32_t>::max();
  using TUnsigned = std::make_unsigned_t<TV8Long>;
  // Taken as unsigned, every count in range passes one comparison.
  if (static_cast<TUnsigned>(ACount) <= static_cast<TUnsigned>(kMax)) [[likely]]
    return static_cast<std::int32_t>(ACount);
  return ACount < 0 ? 0 : static_cast<std::int32_t>(kMax);
}

// Runs a host operation that may fail: a failure is reported to the host
// and the log, and the operation answers false.
template <typename TBody>
bool Guarded(TV8UserObject& AObject, TBody&& ABody) noexcept {
  try {
    return ABody();
  } catch (...) {
    V8ReportException(AObject, ExceptionMessage(std::current_exception()));
    return false;
  }
}

// ---- IInitDoneBase -------------------------------------------------------

bool V8_API Init(void* ASelf, void* AConnection) noexcept {
  TV8UserObject& Object = UserOf(ASelf);
  Object.V8 = static_cast<TV8AddInDefBaseEx*>(AConnection);
  try {
    return Object.Init();
  } catch (...) {
    return false;
  }
}

bool V8_API SetMemManager(void* ASelf, void* AManager) noexcept {
  TV8UserObject& Object = UserOf(ASelf);
  Object.V8MM = static_cast<TV8MemoryManager*>(AManager);
  try {
    return Object.SetMemManager();
  } catch (...) {
    return false;
  }
}

TV8Long V8_API GetInfo(void* ASelf) noexcept {
  try {
    return UserOf(ASelf).GetInfo();
  } catch (...) {
    return 2000;
  }
}

void V8_API Done(void* ASelf) noexcept {
  try {
    UserOf(ASelf).Done();
  } catch (...) {
  }
}

// ---- ILanguageExtenderBase -----------------------------------------------

bool V8_API RegisterExtensionAs(void* ASelf, char16_t** AName) noexcept {
  if (AName != nullptr) *AName = V8CopyWString(UserOf(ASelf).V8MM, ClassOf(ASelf).RegisterExtensionAs);
  return true;
}

TV8Long V8_API GetNProps(void* ASelf) noexcept { return ClassOf(ASelf).PropCount(); }

TV8Long V8_API FindProp(void* ASelf, const char16_t* AName) noexcept {
  if (AName == nullptr) return -1;
  return ClassOf(ASelf).FindProp(AName);
}

const char16_t* V8_API GetPropName(void* ASelf, TV8Long AIndex, TV8Long AAlias) noexcept {
  const TPropReg* Prop = ClassOf(ASelf).Prop(AIndex);
  if (Prop == nullptr) return nullptr;
  return V8CopyWString(UserOf(ASelf).V8MM, AAlias == 0 ? Prop->PropName : Prop->PropNameLoc);
}

bool PropertyAccess(void* ASelf, TV8Long AIndex, V8Variant* AValue, bool AGet) noexcept {
  TV8UserObject& Object = UserOf(ASelf);
  const TPropReg* Prop = ClassOf(ASelf).Prop(AIndex);
  if (Prop == nullptr || Prop->PropGetSet == nullptr || AValue == nullptr) return false;
  return Guarded(Object, [&] { return Prop->PropGetSet(Object, Prop->PropName, AValue, AGet, Object.V8); });
}

bool V8_API GetPropVal(void* ASelf, TV8Long AIndex, V8Variant* AValue) noexcept {
  return PropertyAccess(ASelf, AIndex, AValue, true);
}

bool V8_API SetPropVal(void* ASelf, TV8Long AIndex, V8Variant* AValue) noexcept {
  return PropertyAccess(ASelf, AIndex, AValue, false);
}

bool V8_API IsPropReadable(void* ASelf, TV8Long AIndex) noexcept {
  const TPropReg* Prop = ClassOf(ASelf).Prop(AIndex);
  return Prop != nullptr && Prop->IsReadable;
}

bool V8_API IsPropWritable(void* ASelf, TV8Long AIndex) noexcept {
  const TPropReg* Prop = ClassOf(ASelf).Prop(AIndex);
  return Prop != nullptr && Prop->IsWritable;
}

TV8Long V8_API GetNMethods(void* ASelf) noexcept { return ClassOf(ASelf).MethCount(); }

TV8Long V8_API FindMethod(void* ASelf, const char16_t* AName) noexcept {
  if (AName == nullptr) return -1;
  return ClassOf(ASelf).FindMethod(AName);
}

const char16_t* V8_API GetMethodName(void* ASelf, TV8Long AIndex, TV8Long AAlias) noexcept {
  const TMethReg* Meth = ClassOf(ASelf).Meth(AIndex);
  if (Meth == nullptr) return nullptr;
  return V8CopyWString(UserOf(ASelf).V8MM, AAlias == 0 ? Meth->MethName : Meth->MethNameLoc);
}

TV8Long V8_API GetNParams(void* ASelf, TV8Long AIndex) noexcept {
  const TMethReg* Meth = ClassOf(ASelf).Meth(AIndex);
  return Meth == nullptr ? 0 : Meth->ParamCount;
}

bool V8_API GetParamDefValue(void* ASelf, TV8Long AMethod, TV8Long AParam, V8Variant* AValue) noexcept {
  const TMethReg* Meth = ClassOf(ASelf).Meth(AMethod);
  if (Meth == nullptr || AValue == nullptr || AParam < 0 || AParam > std::numeric_limits<std::int32_t>::max())
    return false;
  const TDefParamValue* Entry = Meth->DefParams.At(static_cast<std::int32_t>(AParam));
  if (Entry == nullptr) return false;
  *AValue = Entry->Value;
  return true;
}

bool V8_API HasRetVal(void* ASelf, TV8Long AIndex) noexcept {
  const TMethReg* Meth = ClassOf(ASelf).Meth(AIndex);
  return Meth != nullptr && Meth->IsFunction;
}

// A function called as a procedure writes its result into a scratch record
// that is released at once.
bool RunFunctionWithoutResult(TV8UserObject& AObject, const TMethReg& AMeth, PV8ParamArray AParams) {
  V8Variant Scratch{};
  struct TScratchGuard {
    TV8UserObject& Object;
    V8Variant& Record;
    ~TScratchGuard() { Object.V8ClearVar(&Record); }
  } Guard{AObject, Scratch};
  return AMeth.ExecuteFunc(AObject, &Scratch, AParams, AParams.Count(), AObject.V8);
}

// Runs a method's routine whichever operation the host chose; a procedure
// called as a function leaves the result alone. Inline: on every call's path.
inline bool RunRoutine(TV8UserObject& AObject, const TMethReg& AMeth, PV8Variant ARetValue, PV8ParamArray AParams) {
  if (AMeth.ExecuteFunc != nullptr) {
    if (ARetValue != nullptr) return AMeth.ExecuteFunc(AObject, ARetValue, AParams, AParams.Count(), AObject.V8);
    return RunFunctionWithoutResult(AObject, AMeth, AParams);
  }
  if (AMeth.ExecuteProc != nullptr) return AMeth.ExecuteProc(AObject, AParams, AParams.Count(), AObject.V8);
  return false;
}

// AFunction: called by CallAsFunc. A template so that each operation gets an
// instance of its own, compiled into it, that knows whether it has a result.
template <bool AFunction>
bool Call(void* ASelf, TV8Long AIndex, V8Variant* ARetValue, V8Variant* AParams, TV8Long ACount) noexcept {
  TV8UserObject& Object = UserOf(ASelf);
  const TMethReg* Meth = ClassOf(ASelf).Meth(AIndex);
  if (Meth == nullptr) return false;
  const TV8ParamArray Params(AParams, ClampCount(ACount));
  return Guarded(Object, [&] {
    V8TraceEnter(Meth->MethName, Params);
    const bool Result = RunRoutine(Object, *Meth, ARetValue, Params);
    V8TraceLeave(Meth->MethName, Params, ARetValue);
    return Result;
  });
}

bool V8_API CallAsProc(void* ASelf, TV8Long AIndex, V8Variant* AParams, TV8Long ACount) noexcept {
  return Call<false>(ASelf, AIndex, nullptr, AParams, ACount);
}

bool V8_API CallAsFunc(void* ASelf, TV8Long AIndex, V8Variant* ARetValue, V8Variant* AParams,
                       TV8Long ACount) noexcept {
  if (ARetValue == nullptr) return false;
  return Call<true>(ASelf, AIndex, ARetValue, AParams, ACount);
}

// ---- LocaleBase ----------------------------------------------------------

void V8_API SetLocale(void* ASelf, const char16_t* ALocale) noexcept {
  TV8UserObject& Object = UserOf(ASelf);
  try {
    Object.locale = ALocale == nullptr ? std::u16string() : std::u16string(ALocale);
    Object.SetLocale();
  } catch (...) {
  }
}

// ---- The tables ------------------------------------------------------------
// Each begins with this target's destructor slots, left null: the host
// destroys component objects only through DestroyObject.

struct TInitDoneTable {
  void* Destructor[platform::kDestructorSlots];
  decltype(&Init) FInit;
  decltype(&SetMemManager) FSetMemManager;
  decltype(&GetInfo) FGetInfo;
  decltype(&Done) FDone;
};

struct TLanguageExtenderTable {
  void* Destructor[platform::kDestructorSlots];
  decltype(&RegisterExtensionAs) FRegisterExtensionAs;
  decltype(&GetNProps) FGetNProps;
  decltype(&FindProp) FFindProp;
  decltype(&GetPropName) FGetPropName;
  decltype(&GetPropVal) FGetPropVal;
  decltype(&SetPropVal) FSetPropVal;
  decltype(&IsPropReadable) FIsPropReadable;
  decltype(&IsPropWritable) FIsPropWritable;
  decltype(&GetNMethods) FGetNMethods;
  decltype(&FindMethod) FFindMethod;
  decltype(&GetMethodName) FGetMethodName;
  decltype(&GetNParams) FGetNParams;
  decltype(&GetParamDefValue) FGetParamDefValue;
  decltype(&HasRetVal) FHasRetVal;
  decltype(&CallAsProc) FCallAsProc;
  decltype(&CallAsFunc) FCallAsFunc;
};

struct TLocaleTable {
  void* Destructor[platform::kDestructorSlots];
  decltype(&SetLocale) FSetLocale;
};

struct TV8InterfaceTables {
  TInitDoneTable InitDone;
  TLanguageExtenderTable LanguageExtender;
  TLocaleTable Locale;
};

constexpr TV8InterfaceTables V8InterfaceTables{
    {{}, &Init, &SetMemManager, &GetInfo, &Done},
    {{}, &RegisterExtensionAs, &GetNProps, &FindProp, &GetPropName, &GetPropVal, &SetPropVal, &IsPropReadable,
     &IsPropWritable, &GetNMethods, &FindMethod, &GetMethodName, &GetNParams, &GetParamDefValue, &HasRetVal,
     &CallAsProc, &CallAsFunc},
    {{}, &SetLocale},
};

static_assert(sizeof(TInitDoneTable) == (platform::kDestructorSlots + 4) * sizeof(void*));
static_assert(sizeof(TLanguageExtenderTable) == (platform::kDestructorSlots + 16) * sizeof(void*));
static_assert(sizeof(TLocaleTable) == (platform::kDestructorSlots + 1) * sizeof(void*));

}  // namespace

TV8ComponentObject* V8CreateComponentObject(std::unique_ptr<TV8UserObject> AObject) {
  auto* Component = new TV8ComponentObject{&V8InterfaceTables.InitDone, &V8InterfaceTables.LanguageExtender,
                                           &V8InterfaceTables.Locale, {}};
  TV8UserObject* Object = AObject.release();
  std::fill(std::begin(Component->UserObject), std::end(Component->UserObject), Object);
  return Component;
}

void V8DestroyComponentObject(TV8ComponentObject* AObject) noexcept {
  // Destructors are noexcept: a throw from the user object's destructor
  // chain would end the process before any catch here could see it. Each
  // class in the chain is written so that nothing in it throws (the driver
  // closes without calling out, the tag window releases only handles).
  static_assert(std::is_nothrow_destructible_v<TV8UserObject>);
  if (AObject == nullptr) return;
  delete AObject->UserObject[0];
  delete AObject;
}
