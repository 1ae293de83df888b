#pragma once
// Base of every object the host can create, and the writers that put
// values into the host's records through the host's memory manager.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "napi/V8HostInterfaces.h"
#include "napi/V8Variant.h"

class TClassReg;

// A host-memory copy of a text: 2 * length + 2 bytes with the terminator,
// owned by the host from then on. Null without a manager or when refused.
char16_t* V8CopyWString(const TV8MemoryManager* AManager, std::u16string_view AText) noexcept;

class TV8UserObject {
public:
  TV8UserObject() = default;
  virtual ~TV8UserObject() = default;
  TV8UserObject(const TV8UserObject&) = delete;
  TV8UserObject& operator=(const TV8UserObject&) = delete;

  virtual bool Init() { return true; }
  virtual std::int32_t GetInfo() { return 2000; }
  virtual void SetLocale() {}
  virtual void Done() {}
  virtual bool SetMemManager() { return true; }

  // Writers. Each clears the target first; a null target (a parameter the
  // host did not pass) is left alone and the text writers answer false.
  // Clearing, Booleans and integers are inline: every call answers with one.
  void V8ClearVar(PV8Variant V) const noexcept {
    if (V == nullptr) return;
    if (V8HoldsResource(*V)) [[unlikely]]
      ReleaseResource(*V);
    std::memset(static_cast<void*>(V), 0, sizeof(V8Variant));
  }
  void V8SetBool(PV8Variant V, bool Value) const noexcept {
    if (V == nullptr) return;
    V8ClearVar(V);
    V->vt = VTYPE_BOOL;
    V->VarEnum.bVal = Value ? 1 : 0;
  }
  void V8SetInt(PV8Variant V, std::int32_t Value) const noexcept {
    if (V == nullptr) return;
    V8ClearVar(V);
    V->vt = VTYPE_I4;
    V->VarEnum.lVal = Value;
  }
  void V8SetInt64(PV8Variant V, std::int64_t Value) const noexcept;
  void V8SetDouble(PV8Variant V, double Value) const noexcept;
  void V8SetDate(PV8Variant V, TDateTime Value) const noexcept;
  bool V8SetWString(PV8Variant V, std::u16string_view Value) const noexcept;
  bool V8SetPChar(PV8Variant V, const char* Value) const noexcept;
  bool V8SetString(PV8Variant V, const std::string& Value) const noexcept;
  bool V8SetBlob(PV8Variant V, const void* Value, std::int32_t Length) const noexcept;

  const TClassReg* ClassReg = nullptr;
  TV8MemoryManager* V8MM = nullptr;
  TV8AddInDefBaseEx* V8 = nullptr;
  std::u16string locale;

private:
  void* Allocate(std::size_t ABytes) const noexcept;
  // Whether the record holds a block or an interface that clearing must
  // release, and the release (the record itself is left as it is).
  // The four kinds come in two neighbouring pairs (text and interface, wide
  // text and blob): the code without its lowest bit names the pair.
  static bool V8HoldsResource(const V8Variant& V) noexcept {
    static_assert(VTYPE_INTERFACE == (VTYPE_PSTR | 1) && VTYPE_BLOB == (VTYPE_PWSTR | 1));
    const unsigned Pair = V8TypeCode(V) & ~1u;
    return Pair == VTYPE_PSTR || Pair == VTYPE_PWSTR;
  }
  void ReleaseResource(V8Variant& V) const noexcept;
};
