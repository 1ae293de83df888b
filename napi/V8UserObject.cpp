#include "napi/V8UserObject.h"

#include <cstring>
#include <limits>

namespace {

void* HostAlloc(const TV8MemoryManager* AManager, std::size_t ABytes) noexcept {
  if (AManager == nullptr || ABytes > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  void* Block = nullptr;
  try {
    if (!AManager->AllocMemory(&Block, static_cast<unsigned long>(ABytes))) return nullptr;
  } catch (...) {
    return nullptr;
  }
  return Block;
}

// Releases one interface reference: IUnknown's Release is its third
// operation, after QueryInterface and AddRef (no destructor slot there).
void ReleaseInterface(void* AInterface) noexcept {
  using TRelease = std::uint32_t(V8_API*)(void*);
  auto* const* Table = *static_cast<void* const* const*>(AInterface);
  reinterpret_cast<TRelease>(Table[2])(AInterface);
}

}  // namespace

char16_t* V8CopyWString(const TV8MemoryManager* AManager, std::u16string_view AText) noexcept {
  const std::size_t Bytes = (AText.size() + 1) * sizeof(char16_t);
  auto* Block = static_cast<char16_t*>(HostAlloc(AManager, Bytes));
  if (Block == nullptr) return nullptr;
  std::memcpy(Block, AText.data(), AText.size() * sizeof(char16_t));
  Block[AText.size()] = 0;
  return Block;
}

void* TV8UserObject::Allocate(std::size_t ABytes) const noexcept { return HostAlloc(V8MM, ABytes); }

void TV8UserObject::ReleaseResource(V8Variant& V) const noexcept {
  switch (V8TypeCode(V)) {
    case VTYPE_PSTR:
    case VTYPE_BLOB:
      if (V.VarEnum.vtRecString.pstrVal != nullptr && V8MM != nullptr) {
        void* Block = V.VarEnum.vtRecString.pstrVal;
        V8MM->FreeMemory(&Block);
      }
      break;
    case VTYPE_PWSTR:
      if (V.VarEnum.vtRecWideString.pwstrVal != nullptr && V8MM != nullptr) {
        void* Block = V.VarEnum.vtRecWideString.pwstrVal;
        V8MM->FreeMemory(&Block);
      }
      break;
    case VTYPE_INTERFACE:
      if (void* Interface = V.VarEnum.vtRecInterface.pInterfaceVal) {
        V.VarEnum.vtRecInterface.pInterfaceVal = nullptr;
        ReleaseInterface(Interface);
      }
      break;
    default: break;
  }
}

void TV8UserObject::V8SetInt64(PV8Variant V, std::int64_t Value) const noexcept {
  if (V == nullptr) return;
  V8ClearVar(V);
  V->vt = VTYPE_I8;
  V->VarEnum.llVal = Value;
}

void TV8UserObject::V8SetDouble(PV8Variant V, double Value) const noexcept {
  if (V == nullptr) return;
  V8ClearVar(V);
  V->vt = VTYPE_R8;
  V->VarEnum.dblVal = Value;
}

void TV8UserObject::V8SetDate(PV8Variant V, TDateTime Value) const noexcept {
  if (V == nullptr) return;
  V8ClearVar(V);
  V->vt = VTYPE_DATE;
  V->VarEnum.date = Value.Value;
}

bool TV8UserObject::V8SetWString(PV8Variant V, std::u16string_view Value) const noexcept {
  if (V == nullptr) return false;
  V8ClearVar(V);
  V->vt = VTYPE_PWSTR;
  char16_t* Copy = V8CopyWString(V8MM, Value);
  if (Copy == nullptr) return false;
  V->VarEnum.vtRecWideString.pwstrVal = Copy;
  V->VarEnum.vtRecWideString.wstrLen = static_cast<std::uint32_t>(Value.size());
  return true;
}

bool TV8UserObject::V8SetPChar(PV8Variant V, const char* Value) const noexcept {
  if (Value == nullptr) return true;
  if (V == nullptr) return false;
  V8ClearVar(V);
  V->vt = VTYPE_PSTR;
  const std::size_t Length = std::strlen(Value);
  auto* Block = static_cast<char*>(Allocate(Length + 1));
  if (Block == nullptr) return false;
  std::memcpy(Block, Value, Length + 1);
  V->VarEnum.vtRecString.pstrVal = Block;
  V->VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(Length);
  return true;
}

bool TV8UserObject::V8SetString(PV8Variant V, const std::string& Value) const noexcept {
  return V8SetPChar(V, Value.c_str());
}

bool TV8UserObject::V8SetBlob(PV8Variant V, const void* Value, std::int32_t Length) const noexcept {
  if (Value == nullptr) return true;
  if (V == nullptr || Length < 0) return false;
  V8ClearVar(V);
  V->vt = VTYPE_BLOB;
  auto* Block = static_cast<char*>(Allocate(static_cast<std::size_t>(Length)));
  if (Block == nullptr) return false;
  std::memcpy(Block, Value, static_cast<std::size_t>(Length));
  V->VarEnum.vtRecString.pstrVal = Block;
  V->VarEnum.vtRecString.strLen = static_cast<std::uint32_t>(Length);
  return true;
}
