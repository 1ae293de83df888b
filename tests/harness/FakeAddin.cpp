#include "FakeAddin.h"

#include <cstring>

#include "v8host/Tables.h"

using namespace v8host;

namespace fake {

namespace {

struct TState {
  void* Memory = nullptr;
  void* Services = nullptr;
  std::int32_t Value = 0;
};

// Three table pointers, then the state: the object the platform sees.
struct TObject {
  const TSlot* Tables[3];
  TState* State;
};

TState& StateOf(void* AView, std::size_t AViewIndex) {
  return *reinterpret_cast<TObject*>(static_cast<void**>(AView) - AViewIndex)->State;
}
TState& Base(void* AView) { return StateOf(AView, kInitDoneView); }
TState& Ext(void* AView) { return StateOf(AView, kExtenderView); }

void Note(const char* ACall) { Trace().Calls.push_back(ACall); }

void* Alloc(TState& AState, std::size_t ABytes) {
  void* block = nullptr;
  if (!CallOperation<bool>(AState.Memory, MemoryOps::AllocMemory, &block, static_cast<TV8ULong>(ABytes)))
    return nullptr;
  return block;
}

void Release(TState& AState, void* ABlock) { CallOperation<void>(AState.Memory, MemoryOps::FreeMemory, &ABlock); }

char16_t* Copy(TState& AState, std::u16string_view AText) {
  auto* text = static_cast<char16_t*>(Alloc(AState, (AText.size() + 1) * 2));
  if (text) {
    std::memcpy(text, AText.data(), AText.size() * 2);
    text[AText.size()] = 0;
  }
  return text;
}

void SetText(TState& AState, TV8Variant& ARecord, std::u16string_view AText) {
  if (ARecord.vt == VTYPE_PWSTR && ARecord.wstr.pwstrVal) Release(AState, ARecord.wstr.pwstrVal);
  std::memset(&ARecord, 0, sizeof ARecord);
  ARecord.vt = VTYPE_PWSTR;
  ARecord.wstr.pwstrVal = Copy(AState, AText);
  ARecord.wstr.wstrLen = static_cast<std::uint32_t>(AText.size());
}

const char16_t* const kMethods[][2] = {{u"Echo", u"Эхо"}, {u"Fail", u"Сбой"}, {u"Count", u"Количество"}};
const TV8Long kParams[] = {1, 0, 2};

TV8Long Find(const char16_t* AName, const char16_t* const (*ANames)[2], TV8Long ACount) {
  const std::u16string_view name(AName);
  for (TV8Long i = 0; i < ACount; ++i)
    if (name == ANames[i][0] || name == ANames[i][1]) return i;
  return -1;
}

// IInitDoneBase
bool V8HOST_CALL Init(void* ASelf, void* AServices) {
  Note("Init");
  Base(ASelf).Services = AServices;
  return true;
}
bool V8HOST_CALL SetMemManager(void* ASelf, void* AMemory) {
  Note("setMemManager");
  Base(ASelf).Memory = AMemory;
  return true;
}
TV8Long V8HOST_CALL GetInfo(void*) { return 2000; }
void V8HOST_CALL Done(void*) { Note("Done"); }

// ILanguageExtenderBase
bool V8HOST_CALL RegisterExtensionAs(void* ASelf, char16_t** AName) {
  Note("RegisterExtensionAs");
  *AName = Copy(Ext(ASelf), u"Fake");
  return true;
}
TV8Long V8HOST_CALL GetNProps(void*) { return 1; }
TV8Long V8HOST_CALL FindProp(void*, const char16_t* AName) {
  const char16_t* const names[][2] = {{u"Value", u"Значение"}};
  return Find(AName, names, 1);
}
const char16_t* V8HOST_CALL GetPropName(void* ASelf, TV8Long AIndex, TV8Long AAlias) {
  if (AIndex != 0) return nullptr;
  return Copy(Ext(ASelf), AAlias == 0 ? u"Value" : u"Значение");
}
bool V8HOST_CALL GetPropVal(void* ASelf, TV8Long, TV8Variant* AValue) {
  std::memset(AValue, 0, sizeof *AValue);
  AValue->vt = VTYPE_I4;
  AValue->lVal = Ext(ASelf).Value;
  return true;
}
bool V8HOST_CALL SetPropVal(void* ASelf, TV8Long, TV8Variant* AValue) {
  if (AValue->vt != VTYPE_I4) return false;
  Ext(ASelf).Value = AValue->lVal;
  return true;
}
bool V8HOST_CALL IsPropReadable(void*, TV8Long) { return true; }
bool V8HOST_CALL IsPropWritable(void*, TV8Long) { return true; }
TV8Long V8HOST_CALL GetNMethods(void*) { return 3; }
TV8Long V8HOST_CALL FindMethod(void*, const char16_t* AName) { return Find(AName, kMethods, 3); }
const char16_t* V8HOST_CALL GetMethodName(void* ASelf, TV8Long AIndex, TV8Long AAlias) {
  if (AIndex < 0 || AIndex > 2) return nullptr;
  return Copy(Ext(ASelf), kMethods[AIndex][AAlias == 0 ? 0 : 1]);
}
TV8Long V8HOST_CALL GetNParams(void*, TV8Long AIndex) { return AIndex >= 0 && AIndex <= 2 ? kParams[AIndex] : 0; }
bool V8HOST_CALL GetParamDefValue(void*, TV8Long AMethod, TV8Long AParam, TV8Variant* AValue) {
  if (AMethod != 0 || AParam != 0) return false;
  AValue->vt = VTYPE_I4;
  AValue->lVal = 7;
  return true;
}
bool V8HOST_CALL HasRetVal(void*, TV8Long AIndex) { return AIndex == 0 || AIndex == 1; }
bool V8HOST_CALL CallAsProc(void* ASelf, TV8Long AIndex, TV8Variant*, TV8Long ACount) {
  if (AIndex != 2) return false;
  char16_t source[] = u"Fake", message[] = u"Count";
  std::u16string data = ACount == 0 ? u"0" : std::u16string();
  for (TV8Long n = ACount; n > 0; n /= 10) data.insert(data.begin(), static_cast<char16_t>(u'0' + n % 10));
  CallOperation<bool>(Ext(ASelf).Services, ServiceOps::ExternalEvent, source, message, data.data());
  return true;
}
bool V8HOST_CALL CallAsFunc(void* ASelf, TV8Long AIndex, TV8Variant* AResult, TV8Variant* AParams, TV8Long ACount) {
  TState& state = Ext(ASelf);
  if (AIndex == 1) {
    CallOperation<bool>(state.Services, ServiceOps::AddError, static_cast<unsigned short>(1006), u"Fake",
                        u"failed on purpose", TV8Long(-2147467259L));
    return false;
  }
  if (AIndex != 0 || ACount < 1) return false;
  TV8Variant& param = AParams[0];
  if (param.vt == VTYPE_PWSTR) {
    SetText(state, *AResult, std::u16string_view(param.wstr.pwstrVal, param.wstr.wstrLen));
    SetText(state, param, u"out");
  } else {
    *AResult = param;
  }
  return true;
}

// LocaleBase
void V8HOST_CALL SetLocale(void*, const char16_t*) { Note("SetLocale"); }

const THostTable<4> kInitDone({AsSlot(&Init), AsSlot(&SetMemManager), AsSlot(&GetInfo), AsSlot(&Done)});
const THostTable<16> kExtender({AsSlot(&RegisterExtensionAs), AsSlot(&GetNProps), AsSlot(&FindProp),
                                AsSlot(&GetPropName), AsSlot(&GetPropVal), AsSlot(&SetPropVal),
                                AsSlot(&IsPropReadable), AsSlot(&IsPropWritable), AsSlot(&GetNMethods),
                                AsSlot(&FindMethod), AsSlot(&GetMethodName), AsSlot(&GetNParams),
                                AsSlot(&GetParamDefValue), AsSlot(&HasRetVal), AsSlot(&CallAsProc),
                                AsSlot(&CallAsFunc)});
const THostTable<1> kLocale({AsSlot(&SetLocale)});

const char16_t* ExportGetClassNames() { return u"Fake|Spare"; }

TV8Long ExportGetClassObject(const char16_t* AName, void** AObject) {
  if (std::u16string_view(AName) != u"Fake") return 0;
  *AObject = new TObject{{kInitDone.Pointer(), kExtender.Pointer(), kLocale.Pointer()}, new TState};
  ++Trace().Objects;
  return 1;
}

TV8Long ExportDestroyObject(void** AObject) {
  Note("DestroyObject");
  auto* object = static_cast<TObject*>(*AObject);
  if (object == nullptr) return 0;
  delete object->State;
  delete object;
  --Trace().Objects;
  return 0;
}

}  // namespace

TTrace& Trace() {
  static TTrace trace;
  return trace;
}

TEntryPoints EntryPoints() { return {&ExportGetClassNames, &ExportGetClassObject, &ExportDestroyObject}; }

}  // namespace fake
