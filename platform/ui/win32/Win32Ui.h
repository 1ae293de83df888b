#pragma once
// Shared pieces of the Win32 window layer: the window classes, GDI handle
// owners and error reporting for handlers.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/ui/Bitmap.h"

namespace platform::ui::win32 {

// The window class of every form, registered once per module with the
// given window procedure and unregistered when the module unloads.
const wchar_t* FormClassName(WNDPROC AWndProc);

// Loads the common controls (tabs, tooltips) once per process.
void EnsureCommonControls() noexcept;

struct TGdiDeleter {
  void operator()(HGDIOBJ AObject) const noexcept { DeleteObject(AObject); }
};
using TFontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, TGdiDeleter>;
using TBrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, TGdiDeleter>;
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TGdiDeleter>;

// A device-independent 32-bit bitmap with the pixels of ABitmap.
TBitmapHandle CreateBitmapHandle(const TBitmap& ABitmap);

inline const wchar_t* Wide(const std::u16string& AText) noexcept {
  return reinterpret_cast<const wchar_t*>(AText.c_str());
}

// What the framework does with an exception that leaves a window's event
// handler: it shows the message in a message box and carries on.
void ShowHandlerError(HWND AOwner, std::exception_ptr AError) noexcept;

template <class F>
void RunHandler(HWND AOwner, F&& AHandler) noexcept {
  try {
    AHandler();
  } catch (...) {
    ShowHandlerError(AOwner, std::current_exception());
  }
}

}  // namespace platform::ui::win32
