#pragma once
// Controls of the project's window layer. Each control keeps its state
// here, the same on every platform; the form's native side mirrors every
// change into the window system (or, headless, keeps nothing more).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Bitmap.h"

namespace platform::ui {

class TForm;

struct TRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

class TControl {
public:
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl();

  const std::u16string& Name() const noexcept { return FName; }
  TForm& Form() const noexcept { return FForm; }

protected:
  TControl(TForm& AForm, std::u16string AName);
  // Mirrors the control's new state into the window system.
  void Changed();

private:
  TForm& FForm;
  std::u16string FName;
};

// A page control that fills the form's client area; its tabs are buttons,
// in several rows when needed. A page's tab can be hidden on its own; the
// active page is independent of which tabs are visible.
class TPageControl : public TControl {
public:
  TPageControl(TForm& AForm, std::u16string AName, std::vector<std::u16string> ACaptions);

  int PageCount() const noexcept { return static_cast<int>(FCaptions.size()); }
  const std::u16string& PageCaption(int APage) const { return FCaptions.at(static_cast<std::size_t>(APage)); }
  bool TabVisible(int APage) const { return FTabVisible.at(static_cast<std::size_t>(APage)); }
  void SetTabVisible(int APage, bool AVisible);
  int ActivePage() const noexcept { return FActivePage; }
  void SetActivePage(int APage);

private:
  std::vector<std::u16string> FCaptions;
  std::vector<bool> FTabVisible;
  int FActivePage = 0;
};

// A picture on one page of a page control, drawn at its own size from the
// control's top left corner, with a hint shown on hover and a double-click
// event.
class TImage : public TControl {
public:
  TImage(TForm& AForm, std::u16string AName, TPageControl& AParent, int APage, TRect ABounds);

  TPageControl& Parent() const noexcept { return FParent; }
  int Page() const noexcept { return FPage; }
  const TRect& Bounds() const noexcept { return FBounds; }

  // The image keeps its own copy of the picture.
  void SetPicture(const TBitmap& APicture);
  const TBitmap* Picture() const noexcept { return FPicture ? &*FPicture : nullptr; }
  // Grows with every new picture, so that a native side can tell whether it
  // still shows the current one.
  std::uint64_t PictureGeneration() const noexcept { return FPictureGeneration; }

  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool AVisible);
  std::intptr_t Tag() const noexcept { return FTag; }
  void SetTag(std::intptr_t ATag) noexcept { FTag = ATag; }
  const std::u16string& Hint() const noexcept { return FHint; }
  void SetHint(std::u16string AHint);
  bool ShowHint() const noexcept { return FShowHint; }
  void SetShowHint(bool AShowHint);

  std::function<void(TImage& ASender)> OnDblClick;
  // What the window system does on a double-click: raise OnDblClick.
  void DblClick();

private:
  TPageControl& FParent;
  int FPage;
  TRect FBounds;
  std::optional<TBitmap> FPicture;
  std::uint64_t FPictureGeneration = 0;
  bool FVisible = false;
  std::intptr_t FTag = 0;
  std::u16string FHint;
  bool FShowHint = false;
};

}  // namespace platform::ui
