#pragma once
// The native side of a form: one implementation per window system
// (platform/ui/win32, platform/ui/gtk for GTK 3 on Linux, and the headless
// platform/ui/posix of the unit tests). The shared form
// and controls call it after every change of their state; the native side
// reports the window system's events back through the shared classes
// (TImage::DblClick, TPageControl::SetActivePage, TForm::CloseRequested).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace platform::ui {

class TForm;
class TControl;
class TMemo;

// Requests to a text box that change no state of its own.
enum class TMemoRequest { mrSetSelStart, mrScrollCaret, mrSetFocus, mrBeginUpdate, mrEndUpdate };

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
  // AOffset is the caret offset of mrSetSelStart.
  virtual void MemoRequest(TMemo& AMemo, TMemoRequest ARequest, int AOffset = 0) = 0;
  // The caret as the user left it, when the window system keeps it.
  virtual std::optional<int> MemoSelStart(const TMemo& AMemo) const = 0;
  // The text box's text now has AText where it had AOld, from AStart on
  // (offsets in its shared text). By default the whole text is set again.
  virtual void MemoReplace(TMemo& AMemo, std::size_t AStart, std::u16string_view AOld, std::u16string_view AText);
  // The length of AText in the offsets of MemoSelStart; by default its own.
  virtual int MemoTextLength(std::u16string_view AText) const { return static_cast<int>(AText.size()); }
  // Runs the form's modal message processing until the form's modal state
  // ends (TForm::ModalEnded) or the thread is asked to quit.
  virtual void RunModal() = 0;
  // The window system's handle of the form or of one of its controls (HWND
  // on Windows), or null.
  virtual void* Handle() const noexcept = 0;
  virtual void* ControlHandle(const TControl& AControl) const noexcept = 0;
};

// Creates the native window of AForm, hidden and without owner.
std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm);

}  // namespace platform::ui
