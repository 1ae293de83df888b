#pragma once
// Calling through tables by position, and building the tables of the
// interfaces the platform hands to the add-in, in the per-target layout of
// Abi.h.
#include <array>
#include <cstddef>
#include <string>

#include "v8host/Abi.h"
#include "v8host/Error.h"

namespace v8host {

// Calls operation AOperation (1-based) of the interface whose table pointer
// sits at AView, passing AView as the object, the way the platform does.
template <typename R, typename... A>
R CallOperation(void* AView, int AOperation, A... AArgs) {
  const TSlot* table = *static_cast<const TSlot* const*>(AView);
  if (table == nullptr) throw THostError("interface without a table");
  const TSlot slot = table[SlotOf(AOperation)];
  if (slot == nullptr) throw THostError("null table slot " + std::to_string(SlotOf(AOperation)));
  using TOperation = R(V8HOST_CALL*)(void*, A...);
  return reinterpret_cast<TOperation>(slot)(AView, AArgs...);
}

// Entries that precede the address a table pointer holds: the offset to the
// top and the type information on Linux, the complete-object locator of
// MSVC on Windows. The add-in has no business reading them; they are null.
inline constexpr std::size_t kTablePrefix = kWindowsAbi ? 1 : 2;

// Stands in the destructor slot(s) of host tables: the add-in never destroys
// a host interface, so a call here is a fault of the add-in.
[[noreturn]] void HostDestructorCalled() noexcept;

// The table of a host interface with N operations.
template <std::size_t N>
class THostTable {
 public:
  // AOperations in operation order (operation 1 first).
  explicit THostTable(const std::array<TSlot, N>& AOperations) noexcept {
    FSlots.fill(nullptr);
    for (int i = 0; i < kDestructorSlots; ++i)
      FSlots[kTablePrefix + i] = reinterpret_cast<TSlot>(&HostDestructorCalled);
    for (std::size_t i = 0; i < N; ++i) FSlots[kTablePrefix + SlotOf(static_cast<int>(i) + 1)] = AOperations[i];
  }
  const TSlot* Pointer() const noexcept { return FSlots.data() + kTablePrefix; }

 private:
  std::array<TSlot, kTablePrefix + kDestructorSlots + N> FSlots;
};

// What the add-in receives as an interface pointer: the table pointer first,
// then the harness object that implements it.
template <typename TOwner>
struct THostInterface {
  const TSlot* Table;
  TOwner* Owner;
};

template <typename F>
TSlot AsSlot(F AFunction) noexcept {
  return reinterpret_cast<TSlot>(AFunction);
}

}  // namespace v8host
