#pragma once
// The host's objects that the add-in calls back: its memory manager and its
// services. The host implements them; the add-in knows only their vtables,
// which it calls by position (after the destructor slots of this target).
#include <cstdint>

#include "napi/V8Variant.h"
#include "platform/NativeAbi.h"

namespace v8napi_detail {

template <typename TResult, typename... TArgs>
TResult CallSlot(const void* ASelf, std::size_t AOperation, TArgs... AArgs) {
  using TFunction = TResult(V8_API*)(const void*, TArgs...);
  const auto* Table = *static_cast<void* const* const*>(ASelf);
  return reinterpret_cast<TFunction>(Table[platform::kDestructorSlots + AOperation])(ASelf, AArgs...);
}

}  // namespace v8napi_detail

// The host's memory manager. Operations, in slot order after the destructor:
// AllocMemory, FreeMemory.
class TV8MemoryManager {
public:
  TV8MemoryManager() = delete;
  bool AllocMemory(void** pMemory, unsigned long ulCountByte) const {
    return v8napi_detail::CallSlot<bool>(this, 0, pMemory, ulCountByte);
  }
  void FreeMemory(void** pMemory) const { v8napi_detail::CallSlot<void>(this, 1, pMemory); }
};

// The host's services. Every operation is listed in its slot order, also
// the ones the add-in never calls, because the positions are the contract.
class TV8AddInDefBase {
public:
  TV8AddInDefBase() = delete;
  bool AddError(std::uint16_t wcode, const char16_t* source, const char16_t* descr, TV8Long scode) const {
    return v8napi_detail::CallSlot<bool>(this, 0, wcode, source, descr, scode);
  }
  bool Read(char16_t* wszPropName, V8Variant* pVal, TV8Long* pErrCode, char16_t** errDescriptor) const {
    return v8napi_detail::CallSlot<bool>(this, 1, wszPropName, pVal, pErrCode, errDescriptor);
  }
  bool Write(char16_t* wszPropName, V8Variant* pVar) const {
    return v8napi_detail::CallSlot<bool>(this, 2, wszPropName, pVar);
  }
  bool RegisterProfileAs(char16_t* wszProfileName) const {
    return v8napi_detail::CallSlot<bool>(this, 3, wszProfileName);
  }
  bool SetEventBufferDepth(TV8Long lDepth) const { return v8napi_detail::CallSlot<bool>(this, 4, lDepth); }
  TV8Long GetEventBufferDepth() const { return v8napi_detail::CallSlot<TV8Long>(this, 5); }
  bool ExternalEvent(const char16_t* wszSource, const char16_t* wszMessage, const char16_t* wszData) const {
    return v8napi_detail::CallSlot<bool>(this, 6, wszSource, wszMessage, wszData);
  }
  void CleanEventBuffer() const { v8napi_detail::CallSlot<void>(this, 7); }
  bool SetStatusLine(char16_t* wszStatusLine) const { return v8napi_detail::CallSlot<bool>(this, 8, wszStatusLine); }
  void ResetStatusLine() const { v8napi_detail::CallSlot<void>(this, 9); }
};

class TV8AddInDefBaseEx : public TV8AddInDefBase {
public:
  void* GetInterface(int iface) const { return v8napi_detail::CallSlot<void*>(this, 10, iface); }
};

// The standard error code the bridge reports failures with.
inline constexpr TV8Long V8_E_FAIL = static_cast<TV8Long>(static_cast<std::int32_t>(0x80004005u));
