#pragma once
// Owns one reference to a COM interface.
#include <unknwn.h>

#include <utility>

template <class T>
class TComRef {
public:
  TComRef() noexcept = default;
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;
  ~TComRef() { Reset(); }

  T* Get() const noexcept { return FPointer; }
  T* operator->() const noexcept { return FPointer; }
  explicit operator bool() const noexcept { return FPointer != nullptr; }
  // For the out-parameter of a call that hands over a new reference.
  void** Receive() noexcept {
    Reset();
    return reinterpret_cast<void**>(&FPointer);
  }
  void Reset() noexcept {
    if (FPointer)
      std::exchange(FPointer, nullptr)->Release();
  }

private:
  T* FPointer = nullptr;
};
