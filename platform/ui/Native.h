#pragma once
// The native side of a form: one implementation per platform
// (platform/ui/win32 and the headless platform/ui/posix). The shared form
// and controls call it after every change of their state; the native side
// reports the window system's events back through the shared classes
// (TImage::DblClick, TPageControl::SetActivePage, TForm::CloseRequested).
#include <cstdint>
#include <memory>

namespace platform::ui {

class TForm;
class TControl;

struct TSize {
  int Width = 0;
  int Height = 0;
};

class INativeForm {
public:
  virtual ~INativeForm() = default;

  virtual void SetVisible(bool AVisible) = 0;
  virtual void SetPosition(int ALeft, int ATop) = 0;
  virtual TSize OuterSize() const = 0;
  virtual void SetAlpha(bool AAlphaBlend, std::uint8_t AValue) = 0;
  virtual void MakeTopmost() = 0;
  virtual void ControlAdded(TControl& AControl) = 0;
  virtual void ControlChanged(TControl& AControl) = 0;
  // The window system's handle of the form or of one of its controls (HWND
  // on Windows), or null.
  virtual void* Handle() const noexcept = 0;
  virtual void* ControlHandle(const TControl& AControl) const noexcept = 0;
};

// Creates the native window of AForm, hidden and without owner.
std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm);

}  // namespace platform::ui
