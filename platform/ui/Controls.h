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

// How a control follows its form's client area: not at all, as a band along
// the top edge (full width, its own height), or filling what is left.
enum class TAlign { alNone, alTop, alClient };

class TControl {
public:
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  virtual ~TControl();

  const std::u16string& Name() const noexcept { return FName; }
  TForm& Form() const noexcept { return FForm; }
  // Design position and size, in the form's design pixels.
  const TRect& Bounds() const noexcept { return FBounds; }
  TAlign Align() const noexcept { return FAlign; }

protected:
  TControl(TForm& AForm, std::u16string AName, TRect ABounds = {}, TAlign AAlign = TAlign::alNone);
  // Mirrors the control's new state into the window system.
  void Changed();

private:
  TForm& FForm;
  std::u16string FName;
  TRect FBounds;
  TAlign FAlign;
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
  // The keyboard's way between pages (Ctrl+Tab, arrows): the next page with
  // a visible tab after the active one (or before it), round the end.
  void SelectNextPage(bool AForward);

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
  std::optional<TBitmap> FPicture;
  std::uint64_t FPictureGeneration = 0;
  bool FVisible = false;
  std::intptr_t FTag = 0;
  std::u16string FHint;
  bool FShowHint = false;
};

// A band of the form that holds other controls; it draws nothing itself.
class TPanel : public TControl {
public:
  TPanel(TForm& AForm, std::u16string AName, TRect ABounds, TAlign AAlign);
};

// A drop-down list: the user picks an item, there is no typing. A sorted
// list keeps its items in order without regard to letter case.
class TComboBox : public TControl {
public:
  TComboBox(TForm& AForm, std::u16string AName, TRect ABounds, bool ASorted);

  const std::vector<std::u16string>& Items() const noexcept { return FItems; }
  // Adds an item (in its sorted place when sorted); returns its index.
  int Add(std::u16string AItem);
  // Removes every item; nothing is selected afterwards.
  void Clear();
  // Replaces every item at once (sorted when the list is); nothing is
  // selected afterwards.
  void SetItems(std::vector<std::u16string> AItems);
  int ItemIndex() const noexcept { return FItemIndex; }
  void SetItemIndex(int AIndex);
  // The selected item's text, empty without a selection.
  std::u16string Text() const;

  std::function<void()> OnChange;
  std::function<void()> OnDropDown;
  // What the window system does when the user picks item AIndex: the
  // selection changes, then OnChange is raised.
  void Select(int AIndex);
  // The list is about to open: OnDropDown is raised.
  void DropDown();

private:
  bool FSorted;
  std::vector<std::u16string> FItems;
  int FItemIndex = -1;
};

// A multi-line, read-only text box with a vertical scroll bar whose long
// lines wrap. The caret is a character offset into the text.
class TMemo : public TControl {
public:
  TMemo(TForm& AForm, std::u16string AName, TRect ABounds, TAlign AAlign);

  const std::u16string& Text() const noexcept { return FText; }
  void SetText(std::u16string AText);
  // Replaces ACount characters from AStart on (clamped to the text) by
  // AText, telling the window system only of that change: a long text that
  // changes at its ends is not set again whole. Leaves the caret wherever
  // the window system puts it.
  void ReplaceText(std::size_t AStart, std::size_t ACount, std::u16string_view AText);
  void AppendText(std::u16string_view AText) { ReplaceText(FText.size(), 0, AText); }
  // The length of AText in the window system's offsets, those of SelStart
  // (where a line break may count twice).
  int NativeLength(std::u16string_view AText) const;
  int SelStart() const;
  void SetSelStart(int AOffset);
  // Scrolls the caret into view.
  void ScrollCaret();
  // Gives the text box the keyboard focus.
  void SetFocus();
  // Between BeginUpdate and the matching EndUpdate the box is not redrawn.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const noexcept { return FUpdateCount; }

  // How often the caret was scrolled into view and the box given the
  // focus: what a headless window can tell about these requests.
  int ScrollCaretCount() const noexcept { return FScrollCaretCount; }
  int FocusCount() const noexcept { return FFocusCount; }

private:
  std::u16string FText;
  int FSelStart = 0;
  int FUpdateCount = 0;
  int FScrollCaretCount = 0;
  int FFocusCount = 0;
};

// A push button that shows only a picture.
class TButton : public TControl {
public:
  TButton(TForm& AForm, std::u16string AName, TRect ABounds);

  void SetGlyph(const TBitmap& AGlyph);
  const TBitmap* Glyph() const noexcept { return FGlyph ? &*FGlyph : nullptr; }

  std::function<void()> OnClick;
  // What the window system does on a click: raise OnClick.
  void Click();

private:
  std::optional<TBitmap> FGlyph;
};

// A repeating timer on the form's thread, running from creation while
// enabled.
class TTimer : public TControl {
public:
  TTimer(TForm& AForm, std::u16string AName, int AIntervalMs);

  int Interval() const noexcept { return FInterval; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool AEnabled);

  std::function<void()> OnTimer;
  // What the window system does when the interval has passed.
  void Timer();

private:
  int FInterval;
  bool FEnabled = true;
};

// An embedded web browser showing one page (on Windows the shell's browser
// control, with GTK WebKitGTK when installed; the headless layer keeps the
// address only).
class TWebBrowser : public TControl {
public:
  TWebBrowser(TForm& AForm, std::u16string AName, TAlign AAlign);

  const std::u16string& LocationURL() const noexcept { return FLocationURL; }
  // Opens AUrl (a local file path will do); fails when the browser refuses.
  void Navigate(std::u16string AUrl);

  // Where the machine has no browser engine to embed (Linux without
  // WebKitGTK), the page goes to the user's default browser, and this text
  // stands in the control's place, in a window as small as the text.
  const std::u16string& ExternalNotice() const noexcept { return FExternalNotice; }
  void SetExternalNotice(std::u16string ANotice) { FExternalNotice = std::move(ANotice); }

private:
  std::u16string FLocationURL;
  std::u16string FExternalNotice;
};

}  // namespace platform::ui
