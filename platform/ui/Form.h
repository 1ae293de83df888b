#pragma once
// A top-level window of the project's window layer. The form and its
// controls keep their state in these classes on every platform; a native
// part (platform/ui/win32 for Windows, platform/ui/gtk for GTK 3 on Linux,
// platform/ui/posix headless) mirrors it into the window system. A form lives on the thread that
// created it and gets its events through that thread's message processing.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Controls.h"

namespace platform::ui {

class INativeForm;

enum class TBorderStyle {
  bsToolWindow,  // small caption, no caption buttons, no system menu
  bsSizeable,    // caption with system menu and buttons, resizable frame
};

enum class TPosition {
  poDesigned,      // at the design's Left and Top
  poScreenCenter,  // centred on the primary screen
};

// The design of a form: what a form designer would store.
struct TFormDesign {
  std::u16string Caption;
  TBorderStyle BorderStyle = TBorderStyle::bsToolWindow;
  TPosition Position = TPosition::poDesigned;
  int Left = 0;
  int Top = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  // Sizes are design pixels at this density, scaled to the screen's.
  int PixelsPerInch = 96;
  std::uint32_t Color = clWhite;
  std::u16string FontName = u"Tahoma";
  int FontHeight = -11;
  bool AlphaBlend = false;
  std::uint8_t AlphaBlendValue = 255;
  // The window's icon: the name of an icon resource of the module; empty
  // for the window system's default.
  std::u16string Icon;
};

class TForm {
public:
  // Creates the window hidden and without owner.
  explicit TForm(TFormDesign ADesign);
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;
  virtual ~TForm();

  const TFormDesign& Design() const noexcept { return FDesign; }

  // Controls belong to the form and die with it.
  TPageControl& AddPageControl(std::u16string AName, std::vector<std::u16string> ACaptions);
  TImage& AddImage(std::u16string AName, TPageControl& AParent, int APage, TRect ABounds);
  // Any other control: constructed as T(form, AArgs...).
  template <class T, class... TArgs>
  T& AddControl(TArgs&&... AArgs) {
    auto Control = std::make_unique<T>(*this, std::forward<TArgs>(AArgs)...);
    auto& Result = *Control;
    Adopt(std::move(Control));
    return Result;
  }
  // The control with that name (exact), or null.
  TControl* FindComponent(std::u16string_view AName) const noexcept;
  const std::vector<std::unique_ptr<TControl>>& Components() const noexcept { return FComponents; }

  // Raised by Show each time the form goes from hidden to shown, before it
  // appears; an exception from it leaves the form hidden and reaches the
  // caller of Show.
  std::function<void()> OnShow;
  void Show();
  void Hide();
  bool Visible() const noexcept { return FVisible; }

  // A character typed while the form has the keyboard. The native side
  // reports it with KeyPress, and the keys that move between the pages of
  // the form's page control with PageKey.
  std::function<void(char16_t AKey)> OnKeyPress;
  void KeyPress(char16_t AKey);
  void PageKey(bool AForward);
  // A close request of the window system: ends a modal show, otherwise the
  // (secondary) window is hidden.
  void CloseRequested();

  // Shows the form and runs its message processing on the calling thread
  // until the form is closed; the form is hidden again on return.
  void ShowModal();
  // True from the start of a modal show (before the window appears) to its
  // end.
  bool Modal() const noexcept { return FModal; }
  bool ModalEnded() const noexcept { return FModalEnded; }

  int Left() const noexcept { return FLeft; }
  int Top() const noexcept { return FTop; }
  void SetPosition(int ALeft, int ATop);
  // Outer size, frame and caption included.
  int Width() const;
  int Height() const;

  bool AlphaBlend() const noexcept { return FAlphaBlend; }
  void SetAlphaBlend(bool AAlphaBlend);
  std::uint8_t AlphaBlendValue() const noexcept { return FAlphaBlendValue; }
  void SetAlphaBlendValue(std::uint8_t AValue);

  // Puts the form at the top of the z-order as a topmost window, without
  // moving or resizing it.
  void MakeTopmost();
  bool Topmost() const noexcept { return FTopmost; }

  INativeForm& Native() const noexcept { return *FNative; }
  void Adopt(std::unique_ptr<TControl> AControl);
  // Called by the control base when a control's state changed.
  void ControlChanged(TControl& AControl);

  // Every form alive in the process, oldest first.
  static std::vector<TForm*> LiveForms();

private:
  TFormDesign FDesign;
  std::vector<std::unique_ptr<TControl>> FComponents;
  std::unique_ptr<INativeForm> FNative;
  bool FVisible = false;
  int FLeft;
  int FTop;
  bool FAlphaBlend;
  std::uint8_t FAlphaBlendValue;
  bool FTopmost = false;
  bool FModal = false;
  bool FModalEnded = false;
};

// What the window framework does with an exception that leaves an event
// handler: it shows its message to the user in a message box (headless: the
// message is kept for the tests) and carries on.
void HandleException(const TForm* AOwner, std::exception_ptr AError) noexcept;

template <class F>
void RunHandler(const TForm* AOwner, F&& AHandler) noexcept {
  try {
    AHandler();
  } catch (...) {
    HandleException(AOwner, std::current_exception());
  }
}

// Opens AFolder in the system's file manager (the shell's verb "explore").
void ShellExplore(const TForm* AParent, const std::u16string& AFolder);

// Width of the primary screen in pixels.
int PrimaryScreenWidth();

// Runs the handlers of every message already waiting for this thread's
// windows, then returns (headless: the callbacks of this thread's
// descriptor watches that have something to read).
void ProcessMessages();

}  // namespace platform::ui
