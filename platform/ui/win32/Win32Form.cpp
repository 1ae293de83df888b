// The Win32 side of the window layer: a top-level window per form, a tab
// control for the page control, static bitmap controls for the images and
// the shell's WebBrowser control for a web browser.
#include "platform/ui/win32/Win32Ui.h"
#include "platform/ui/win32/WebBrowserHost.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <map>
#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/win32/OwnModule.h"

namespace platform::ui {

namespace {

using win32::TBitmapHandle;
using win32::TBrushHandle;
using win32::TFontHandle;
using win32::Wide;

constexpr DWORD ToolWindowStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD ToolWindowExStyle = WS_EX_TOOLWINDOW;
constexpr DWORD SizeableStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD SizeableExStyle = WS_EX_WINDOWEDGE;
constexpr int PageControlId = 1;
constexpr int FirstControlId = 100;
constexpr int MinTabWidth = 24;
constexpr int DropDownHeight = 200;

DWORD FormStyle(const TFormDesign& ADesign) noexcept {
  return ADesign.BorderStyle == TBorderStyle::bsToolWindow ? ToolWindowStyle : SizeableStyle;
}

DWORD FormExStyle(const TFormDesign& ADesign) noexcept {
  return ADesign.BorderStyle == TBorderStyle::bsToolWindow ? ToolWindowExStyle : SizeableExStyle;
}

int ScreenPixelsPerInch() noexcept {
  HDC Screen = GetDC(nullptr);
  const int Result = Screen ? GetDeviceCaps(Screen, LOGPIXELSY) : 96;
  if (Screen) ReleaseDC(nullptr, Screen);
  return Result > 0 ? Result : 96;
}

// An edit control breaks lines only at CR LF.
// How long AText is once its lone line feeds have become CR LF; APrecededByCr
// when the character before it is a CR (a line feed right after it stays one).
std::size_t CrLfLength(std::u16string_view AText, bool APrecededByCr) noexcept {
  std::size_t Length = AText.size();
  for (std::size_t I = 0; I < AText.size(); ++I)
    if (AText[I] == u'\n' && !(I == 0 ? APrecededByCr : AText[I - 1] == u'\r')) ++Length;
  return Length;
}

std::u16string WithCrLf(std::u16string_view AText) {
  std::u16string Result;
  Result.reserve(AText.size() + AText.size() / 32);
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] == u'\n' && (I == 0 || AText[I - 1] != u'\r')) Result.push_back(u'\r');
    Result.push_back(AText[I]);
  }
  return Result;
}

COLORREF ToColorRef(std::uint32_t ARgb) noexcept {
  return RGB((ARgb >> 16) & 0xFF, (ARgb >> 8) & 0xFF, ARgb & 0xFF);
}

// A static control hands back the picture it showed before. That is our own
// handle (freed with TNativeControl::Picture), unless the control had made a
// copy of it, as version 6 of the common controls does for pictures with
// alpha: such a copy is the caller's to free.
struct TNativeControl;
void ReleaseReturnedBitmap(const TNativeControl& AImage, LRESULT AReturned) noexcept;

// A control with a window of its own (images, lists, text boxes, buttons).
struct TNativeControl {
  TControl* Control = nullptr;
  HWND Handle = nullptr;
  TBitmapHandle Picture;
  std::uint64_t PictureGeneration = 0;
  bool HasTool = false;
  std::unique_ptr<win32::TWebBrowserHost> Browser;
};

struct TIconDeleter {
  void operator()(HICON AIcon) const noexcept { DestroyIcon(AIcon); }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

// The icon resource AName of this module at the system's size for AMetric
// (SM_CXICON, SM_CXSMICON); null when the module has none of that name.
TIconHandle LoadModuleIcon(const std::u16string& AName, int AMetric) noexcept {
  const int Size = GetSystemMetrics(AMetric);
  return TIconHandle(static_cast<HICON>(LoadImageW(OwnModule(), Wide(AName), IMAGE_ICON, Size, Size, 0)));
}

void ReleaseReturnedBitmap(const TNativeControl& AImage, LRESULT AReturned) noexcept {
  auto* Returned = reinterpret_cast<HBITMAP>(AReturned);
  if (Returned && Returned != AImage.Picture.get()) DeleteObject(Returned);
}

class TWin32Form final : public INativeForm {
public:
  explicit TWin32Form(TForm& AForm);
  ~TWin32Form() override;

  void SetVisible(bool AVisible) override;
  void SetPosition(int ALeft, int ATop) override;
  TSize OuterSize() const override;
  void SetAlpha(bool AAlphaBlend, std::uint8_t AValue) override;
  void MakeTopmost() override;
  void ControlAdded(TControl& AControl) override;
  void ControlChanged(TControl& AControl) override;
  void MemoRequest(TMemo& AMemo, TMemoRequest ARequest, int AOffset) override;
  std::optional<int> MemoSelStart(const TMemo& AMemo) const override;
  void MemoReplace(TMemo& AMemo, std::size_t AStart, std::u16string_view AOld, std::u16string_view AText) override;
  int MemoTextLength(std::u16string_view AText) const override;
  void RunModal() override;
  void* Handle() const noexcept override { return FHandle; }
  void* ControlHandle(const TControl& AControl) const noexcept override;

private:
  static LRESULT CALLBACK WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept;
  LRESULT HandleMessage(UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept;
  void OnCommand(WPARAM AWParam) noexcept;
  void OnNotify(const NMHDR& AHeader) noexcept;
  void OnTimer(WPARAM AId) noexcept;
  bool TranslateBrowserKey(MSG& AMsg) noexcept;
  bool OnKeyDown(WPARAM AKey) noexcept;

  int Scale(int AValue) const noexcept { return MulDiv(AValue, FScreenPpi, FForm.Design().PixelsPerInch); }
  TRect Scale(const TRect& ARect) const noexcept {
    return {Scale(ARect.Left), Scale(ARect.Top), Scale(ARect.Width), Scale(ARect.Height)};
  }
  HWND CreateChild(const wchar_t* AClass, DWORD AStyle, const TRect& ABounds, int AId, DWORD AExStyle = 0);
  TNativeControl& AddNative(TControl& AControl, const wchar_t* AClass, DWORD AStyle, TRect ABounds,
                            DWORD AExStyle = 0);
  TNativeControl* Find(const TControl& AControl) noexcept;
  void AddPageControl(TPageControl& APageControl);
  void AddImage(TImage& AImage);
  void RebuildTabs();
  void Layout();
  void LayoutImages();
  void UpdateImage(TNativeControl& AImage);
  void UpdateHint(TNativeControl& AImage);
  void UpdateComboBox(TNativeControl& AComboBox);
  void UpdateMemo(TNativeControl& AMemo);
  void UpdateButton(TNativeControl& AButton);
  void UpdateTimer(const TTimer& ATimer);
  void SetIcon(const std::u16string& AName);

  TForm& FForm;
  int FScreenPpi;
  HWND FHandle = nullptr;
  HWND FTooltip = nullptr;
  TFontHandle FFont;
  TBrushHandle FBrush;
  TIconHandle FIcon;
  TIconHandle FSmallIcon;
  TPageControl* FPageControl = nullptr;
  HWND FTabs = nullptr;
  std::map<int, TNativeControl> FControls;  // by control id
  std::map<int, TTimer*> FTimers;           // by timer id
  std::vector<TControl*> FAligned;          // controls that follow the client area
  bool FInTimer = false;
};

TWin32Form::TWin32Form(TForm& AForm) : FForm(AForm), FScreenPpi(ScreenPixelsPerInch()) {
  win32::EnsureCommonControls();
  const auto& D = AForm.Design();
  FBrush.reset(CreateSolidBrush(ToColorRef(D.Color)));
  FFont.reset(CreateFontW(Scale(D.FontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          Wide(D.FontName)));
  RECT Outer{0, 0, Scale(D.ClientWidth), Scale(D.ClientHeight)};
  AdjustWindowRectEx(&Outer, FormStyle(D), FALSE, FormExStyle(D));
  const int Width = Outer.right - Outer.left;
  const int Height = Outer.bottom - Outer.top;
  int Left = D.Left;
  int Top = D.Top;
  if (D.Position == TPosition::poScreenCenter) {
    Left = (GetSystemMetrics(SM_CXSCREEN) - Width) / 2;
    Top = (GetSystemMetrics(SM_CYSCREEN) - Height) / 2;
  }
  FHandle = CreateWindowExW(FormExStyle(D), win32::FormClassName(&WndProc), Wide(D.Caption), FormStyle(D), Left, Top,
                            Width, Height, nullptr, nullptr, OwnModule(), this);
  if (!FHandle) throw Exception(u"Cannot create the window (error " + IntToText(GetLastError()) + u")");
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  if (!D.Icon.empty()) SetIcon(D.Icon);
  // The tooltip has no owner: Wine does not keep a window topmost that owns
  // a topmost popup. It is destroyed with the form.
  FTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             OwnModule(), nullptr);
  if (FTooltip) SendMessageW(FTooltip, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  SetAlpha(AForm.AlphaBlend(), AForm.AlphaBlendValue());
}

TWin32Form::~TWin32Form() {
  // A browser lets go of its window before the window goes.
  for (auto& [Id, Native] : FControls) Native.Browser.reset();
  // Destroying the window destroys its controls and timers; the pictures
  // are freed afterwards with FControls.
  if (FTooltip) DestroyWindow(FTooltip);
  for (const auto& [Id, Native] : FControls)
    if (Native.Picture && dynamic_cast<TImage*>(Native.Control))
      ReleaseReturnedBitmap(Native, SendMessageW(Native.Handle, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (FHandle) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

void TWin32Form::SetIcon(const std::u16string& AName) {
  FIcon = LoadModuleIcon(AName, SM_CXICON);
  FSmallIcon = LoadModuleIcon(AName, SM_CXSMICON);
  if (FIcon) SendMessageW(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(FIcon.get()));
  if (FSmallIcon) SendMessageW(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FSmallIcon.get()));
}

void TWin32Form::SetVisible(bool AVisible) {
  ShowWindow(FHandle, AVisible ? SW_SHOW : SW_HIDE);
  // A topmost request made while the window was hidden is not kept by every
  // window system (Wine drops it), so it is repeated once the window shows.
  if (AVisible && FForm.Topmost())
    SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWin32Form::SetPosition(int ALeft, int ATop) {
  SetWindowPos(FHandle, nullptr, ALeft, ATop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TSize TWin32Form::OuterSize() const {
  RECT R{};
  GetWindowRect(FHandle, &R);
  return {R.right - R.left, R.bottom - R.top};
}

void TWin32Form::SetAlpha(bool AAlphaBlend, std::uint8_t AValue) {
  const LONG_PTR ExStyle = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
  if (AAlphaBlend) {
    if (!(ExStyle & WS_EX_LAYERED)) SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ExStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(FHandle, 0, AValue, LWA_ALPHA);
  } else if (ExStyle & WS_EX_LAYERED) {
    SetWindowLongPtrW(FHandle, GWL_EXSTYLE, ExStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TWin32Form::MakeTopmost() { SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

void* TWin32Form::ControlHandle(const TControl& AControl) const noexcept {
  if (&AControl == FPageControl) return FTabs;
  for (const auto& [Id, Native] : FControls)
    if (Native.Control == &AControl) return Native.Handle;
  return nullptr;
}

TNativeControl* TWin32Form::Find(const TControl& AControl) noexcept {
  for (auto& [Id, Native] : FControls)
    if (Native.Control == &AControl) return &Native;
  return nullptr;
}

HWND TWin32Form::CreateChild(const wchar_t* AClass, DWORD AStyle, const TRect& ABounds, int AId, DWORD AExStyle) {
  HWND Child = CreateWindowExW(AExStyle, AClass, L"", WS_CHILD | AStyle, ABounds.Left, ABounds.Top, ABounds.Width,
                               ABounds.Height, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(AId)),
                               OwnModule(), nullptr);
  if (!Child) throw Exception(u"Cannot create a control (error " + IntToText(GetLastError()) + u")");
  SendMessageW(Child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  return Child;
}

TNativeControl& TWin32Form::AddNative(TControl& AControl, const wchar_t* AClass, DWORD AStyle, TRect ABounds,
                                      DWORD AExStyle) {
  const int Id = FirstControlId + static_cast<int>(FControls.size() + FTimers.size());
  HWND Handle = CreateChild(AClass, AStyle, ABounds, Id, AExStyle);
  auto& Native = FControls[Id];
  Native.Control = &AControl;
  Native.Handle = Handle;
  if (AControl.Align() != TAlign::alNone) {
    FAligned.push_back(&AControl);
    Layout();
  }
  return Native;
}

void TWin32Form::ControlAdded(TControl& AControl) {
  if (auto* PageControl = dynamic_cast<TPageControl*>(&AControl)) {
    AddPageControl(*PageControl);
  } else if (auto* Image = dynamic_cast<TImage*>(&AControl)) {
    AddImage(*Image);
  } else if (dynamic_cast<TPanel*>(&AControl)) {
    // A panel draws nothing: it only takes its band of the client area.
    FAligned.push_back(&AControl);
    Layout();
  } else if (dynamic_cast<TComboBox*>(&AControl)) {
    auto Bounds = Scale(AControl.Bounds());
    Bounds.Height = Scale(DropDownHeight);
    UpdateComboBox(AddNative(AControl, WC_COMBOBOXW, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, Bounds));
  } else if (dynamic_cast<TMemo*>(&AControl)) {
    // A multi-line edit control wraps its lines unless it scrolls
    // horizontally (a horizontal bar or ES_AUTOHSCROLL): it gets neither.
    auto& Native =
        AddNative(AControl, WC_EDITW, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                  Scale(AControl.Bounds()), WS_EX_CLIENTEDGE);
    SendMessageW(Native.Handle, EM_SETLIMITTEXT, 0, 0);
    UpdateMemo(Native);
  } else if (dynamic_cast<TButton*>(&AControl)) {
    UpdateButton(
        AddNative(AControl, WC_BUTTONW, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, Scale(AControl.Bounds())));
  } else if (auto* Timer = dynamic_cast<TTimer*>(&AControl)) {
    const int Id = FirstControlId + static_cast<int>(FControls.size() + FTimers.size());
    FTimers[Id] = Timer;
    UpdateTimer(*Timer);
  } else if (dynamic_cast<TWebBrowser*>(&AControl)) {
    // The browser fills a window of its own, which the layout moves.
    auto& Native = AddNative(AControl, L"STATIC", WS_VISIBLE | WS_CLIPCHILDREN, Scale(AControl.Bounds()));
    Native.Browser = std::make_unique<win32::TWebBrowserHost>(Native.Handle);
  }
}

void TWin32Form::ControlChanged(TControl& AControl) {
  if (&AControl == FPageControl) {
    RebuildTabs();
    LayoutImages();
    return;
  }
  if (auto* Timer = dynamic_cast<TTimer*>(&AControl)) {
    UpdateTimer(*Timer);
    return;
  }
  auto* Native = Find(AControl);
  if (!Native) return;
  if (dynamic_cast<TImage*>(&AControl)) UpdateImage(*Native);
  if (dynamic_cast<TComboBox*>(&AControl)) UpdateComboBox(*Native);
  if (dynamic_cast<TMemo*>(&AControl)) UpdateMemo(*Native);
  if (dynamic_cast<TButton*>(&AControl)) UpdateButton(*Native);
  if (auto* Browser = dynamic_cast<TWebBrowser*>(&AControl); Browser && Native->Browser)
    Native->Browser->Navigate(Browser->LocationURL());
}

void TWin32Form::AddPageControl(TPageControl& APageControl) {
  if (FPageControl) throw Exception(u"A form holds one page control");
  RECT Client{};
  GetClientRect(FHandle, &Client);
  FPageControl = &APageControl;
  // The tabs never take the keyboard: it stays with the form, which moves
  // between the pages itself (OnKeyDown) and sees every typed character.
  FTabs = CreateChild(WC_TABCONTROLW,
                      WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS | TCS_MULTILINE | TCS_RAGGEDRIGHT | TCS_FOCUSNEVER,
                      {0, 0, Client.right, Client.bottom}, PageControlId);
  // Buttons as wide as their captions, as a page control draws them (the
  // tab control's default minimum is 54 pixels).
  TabCtrl_SetMinTabWidth(FTabs, Scale(MinTabWidth));
  RebuildTabs();
}

void TWin32Form::AddImage(TImage& AImage) {
  AddNative(AImage, L"STATIC", SS_BITMAP | SS_NOTIFY, Scale(AImage.Bounds()));
  // The images lie above the page control.
  SetWindowPos(FTabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LayoutImages();
}

// Bands along the top edge take the full width in the order they were
// added; a control aligned to the client takes what is left.
void TWin32Form::Layout() {
  RECT Client{};
  GetClientRect(FHandle, &Client);
  int Top = 0;
  for (TControl* Control : FAligned) {
    auto* Native = Find(*Control);
    if (Control->Align() == TAlign::alTop) {
      const int Height = Scale(Control->Bounds().Height);
      if (Native) MoveWindow(Native->Handle, 0, Top, Client.right, Height, TRUE);
      Top += Height;
    } else if (Control->Align() == TAlign::alClient && Native) {
      MoveWindow(Native->Handle, 0, Top, Client.right, std::max<int>(0, Client.bottom - Top), TRUE);
      if (Native->Browser) Native->Browser->Resize();
    }
  }
  if (FTabs) {
    MoveWindow(FTabs, 0, 0, Client.right, Client.bottom, TRUE);
    LayoutImages();
  }
}

// The tab control has no hidden tabs: a hidden page's tab is simply not
// among its items, and each item remembers the page it stands for.
void TWin32Form::RebuildTabs() {
  if (!FTabs) return;
  TabCtrl_DeleteAllItems(FTabs);
  int Selected = -1;
  for (int Page = 0, Item = 0; Page < FPageControl->PageCount(); ++Page) {
    if (!FPageControl->TabVisible(Page)) continue;
    std::u16string Caption = FPageControl->PageCaption(Page);
    TCITEMW Tab{};
    Tab.mask = TCIF_TEXT | TCIF_PARAM;
    Tab.pszText = reinterpret_cast<wchar_t*>(Caption.data());
    Tab.lParam = Page;
    TabCtrl_InsertItem(FTabs, Item, &Tab);
    if (Page == FPageControl->ActivePage()) Selected = Item;
    ++Item;
  }
  TabCtrl_SetCurSel(FTabs, Selected);
}

// Images sit in the page area of the tab control, shown only on the
// active page.
void TWin32Form::LayoutImages() {
  if (!FTabs) return;
  RECT Area{};
  GetClientRect(FTabs, &Area);
  TabCtrl_AdjustRect(FTabs, FALSE, &Area);
  for (auto& [Id, Native] : FControls) {
    if (!dynamic_cast<TImage*>(Native.Control)) continue;
    const auto B = Scale(Native.Control->Bounds());
    SetWindowPos(Native.Handle, nullptr, Area.left + B.Left, Area.top + B.Top, B.Width, B.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateImage(Native);
  }
}

void TWin32Form::UpdateImage(TNativeControl& AImage) {
  const auto& Control = static_cast<const TImage&>(*AImage.Control);
  const TBitmap* Picture = Control.Picture();
  if (Picture && AImage.PictureGeneration != Control.PictureGeneration()) {
    // The image keeps a bitmap handle of its own; the one the control gives
    // back is the previous picture, which is freed here.
    auto Bitmap = win32::CreateBitmapHandle(*Picture);
    ReleaseReturnedBitmap(AImage, SendMessageW(AImage.Handle, STM_SETIMAGE, IMAGE_BITMAP,
                                               reinterpret_cast<LPARAM>(Bitmap.get())));
    AImage.Picture = std::move(Bitmap);
    AImage.PictureGeneration = Control.PictureGeneration();
  }
  const bool Shown = Control.Visible() && Control.Page() == Control.Parent().ActivePage();
  ShowWindow(AImage.Handle, Shown ? SW_SHOWNA : SW_HIDE);
  UpdateHint(AImage);
}

void TWin32Form::UpdateHint(TNativeControl& AImage) {
  const auto& Control = static_cast<const TImage&>(*AImage.Control);
  if (!FTooltip) return;
  TOOLINFOW Tool{};
  Tool.cbSize = TTTOOLINFOW_V2_SIZE;
  Tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  Tool.hwnd = FHandle;
  Tool.uId = reinterpret_cast<UINT_PTR>(AImage.Handle);
  const bool Wanted = Control.ShowHint() && !Control.Hint().empty();
  if (!Wanted) {
    if (AImage.HasTool) SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    AImage.HasTool = false;
    return;
  }
  std::u16string Text = Control.Hint();
  Tool.lpszText = reinterpret_cast<wchar_t*>(Text.data());
  if (AImage.HasTool) {
    SendMessageW(FTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&Tool));
  } else {
    AImage.HasTool = SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool)) != FALSE;
  }
}

// The list shows the items in the order the shared list keeps them.
void TWin32Form::UpdateComboBox(TNativeControl& AComboBox) {
  const auto& Control = static_cast<const TComboBox&>(*AComboBox.Control);
  SendMessageW(AComboBox.Handle, CB_RESETCONTENT, 0, 0);
  for (const auto& Item : Control.Items())
    SendMessageW(AComboBox.Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(Item)));
  SendMessageW(AComboBox.Handle, CB_SETCURSEL, static_cast<WPARAM>(Control.ItemIndex()), 0);
}

void TWin32Form::UpdateMemo(TNativeControl& AMemo) {
  const auto& Control = static_cast<const TMemo&>(*AMemo.Control);
  SetWindowTextW(AMemo.Handle, Wide(WithCrLf(Control.Text())));
}

void TWin32Form::UpdateButton(TNativeControl& AButton) {
  const auto& Control = static_cast<const TButton&>(*AButton.Control);
  if (!Control.Glyph()) return;
  auto Bitmap = win32::CreateBitmapHandle(*Control.Glyph());
  SendMessageW(AButton.Handle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bitmap.get()));
  AButton.Picture = std::move(Bitmap);
}

void TWin32Form::UpdateTimer(const TTimer& ATimer) {
  for (const auto& [Id, Timer] : FTimers) {
    if (Timer != &ATimer) continue;
    if (ATimer.Enabled())
      SetTimer(FHandle, static_cast<UINT_PTR>(Id), static_cast<UINT>(ATimer.Interval()), nullptr);
    else
      KillTimer(FHandle, static_cast<UINT_PTR>(Id));
  }
}

void TWin32Form::MemoRequest(TMemo& AMemo, TMemoRequest ARequest, int AOffset) {
  auto* Native = Find(AMemo);
  if (!Native) return;
  HWND Edit = Native->Handle;
  switch (ARequest) {
    case TMemoRequest::mrSetSelStart:
      SendMessageW(Edit, EM_SETSEL, static_cast<WPARAM>(AOffset), static_cast<LPARAM>(AOffset));
      break;
    case TMemoRequest::mrScrollCaret:
      SendMessageW(Edit, EM_SCROLLCARET, 0, 0);
      break;
    case TMemoRequest::mrSetFocus:
      SetFocus(Edit);
      break;
    case TMemoRequest::mrBeginUpdate:
      SendMessageW(Edit, WM_SETREDRAW, FALSE, 0);
      break;
    case TMemoRequest::mrEndUpdate:
      SendMessageW(Edit, WM_SETREDRAW, TRUE, 0);
      InvalidateRect(Edit, nullptr, TRUE);
      break;
  }
}

// One selection replaced: the edit control redoes only the lines it touches,
// where setting a long text again costs time for every line of it.
void TWin32Form::MemoReplace(TMemo& AMemo, std::size_t AStart, std::u16string_view AOld, std::u16string_view AText) {
  auto* Native = Find(AMemo);
  if (!Native) return;
  const std::u16string_view Before = std::u16string_view(AMemo.Text()).substr(0, AStart);
  const bool AfterCr = !Before.empty() && Before.back() == u'\r';
  const std::size_t Start = CrLfLength(Before, false);
  const std::size_t End = Start + CrLfLength(AOld, AfterCr);
  const std::u16string Inserted = WithCrLf(AText);
  SendMessageW(Native->Handle, EM_SETSEL, static_cast<WPARAM>(Start), static_cast<LPARAM>(End));
  SendMessageW(Native->Handle, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(Inserted)));
}

int TWin32Form::MemoTextLength(std::u16string_view AText) const { return static_cast<int>(CrLfLength(AText, false)); }

std::optional<int> TWin32Form::MemoSelStart(const TMemo& AMemo) const {
  for (const auto& [Id, Native] : FControls) {
    if (Native.Control != &AMemo) continue;
    DWORD Start = 0;
    SendMessageW(Native.Handle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return static_cast<int>(Start);
  }
  return std::nullopt;
}

struct TThreadWindows {
  HWND Self;
  std::vector<HWND> Windows;
};

BOOL CALLBACK CollectEnabledWindow(HWND AWnd, LPARAM AData) noexcept {
  auto& D = *reinterpret_cast<TThreadWindows*>(AData);
  if (AWnd != D.Self && IsWindowVisible(AWnd) && IsWindowEnabled(AWnd)) {
    try {
      D.Windows.push_back(AWnd);
    } catch (...) {
      return FALSE;
    }
  }
  return TRUE;
}

// A key for a browser's page goes to the browser first.
bool TWin32Form::TranslateBrowserKey(MSG& AMsg) noexcept {
  for (auto& [Id, Native] : FControls)
    if (Native.Browser && Native.Browser->TranslateAccelerator(AMsg)) return true;
  return false;
}

// While a form is modal the thread's other windows take no input.
void TWin32Form::RunModal() {
  TThreadWindows Disabled{FHandle, {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow, reinterpret_cast<LPARAM>(&Disabled));
  for (HWND W : Disabled.Windows) EnableWindow(W, FALSE);
  struct TEnableAgain {
    std::vector<HWND>& Windows;
    ~TEnableAgain() {
      for (HWND W : Windows)
        if (IsWindow(W)) EnableWindow(W, TRUE);
    }
  } EnableAgain{Disabled.Windows};

  SetForegroundWindow(FHandle);
  MSG Msg;
  while (!FForm.ModalEnded()) {
    const BOOL Got = GetMessageW(&Msg, nullptr, 0, 0);
    if (Got == 0) {
      PostQuitMessage(static_cast<int>(Msg.wParam));  // for the outer loop
      break;
    }
    if (Got < 0) break;
    if (TranslateBrowserKey(Msg)) continue;
    // The Tab key moves between the form's controls.
    if (IsDialogMessageW(FHandle, &Msg)) continue;
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

LRESULT CALLBACK TWin32Form::WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept {
  if (AMsg == WM_NCCREATE) {
    const auto* Create = reinterpret_cast<const CREATESTRUCTW*>(ALParam);
    auto* Self = static_cast<TWin32Form*>(Create->lpCreateParams);
    Self->FHandle = AWnd;
    SetWindowLongPtrW(AWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
  }
  auto* Self = reinterpret_cast<TWin32Form*>(GetWindowLongPtrW(AWnd, GWLP_USERDATA));
  if (!Self) return DefWindowProcW(AWnd, AMsg, AWParam, ALParam);
  return Self->HandleMessage(AMsg, AWParam, ALParam);
}

LRESULT TWin32Form::HandleMessage(UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept {
  switch (AMsg) {
    case WM_COMMAND:
      OnCommand(AWParam);
      return 0;
    case WM_NOTIFY:
      OnNotify(*reinterpret_cast<const NMHDR*>(ALParam));
      return 0;
    case WM_CLOSE:
      win32::RunHandler(FHandle, [this] { FForm.CloseRequested(); });
      return 0;
    case WM_ERASEBKGND: {
      RECT R{};
      GetClientRect(FHandle, &R);
      FillRect(reinterpret_cast<HDC>(AWParam), &R, FBrush.get());
      return 1;
    }
    case WM_CTLCOLORSTATIC: {
      // A read-only text box asks here too; it keeps the window colour.
      const auto* Native = [&]() -> const TNativeControl* {
        for (const auto& [Id, Control] : FControls)
          if (Control.Handle == reinterpret_cast<HWND>(ALParam)) return &Control;
        return nullptr;
      }();
      if (Native && dynamic_cast<const TMemo*>(Native->Control)) {
        SetBkColor(reinterpret_cast<HDC>(AWParam), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      SetBkColor(reinterpret_cast<HDC>(AWParam), ToColorRef(FForm.Design().Color));
      return reinterpret_cast<LRESULT>(FBrush.get());
    }
    case WM_SIZE:
      Layout();
      return 0;
    case WM_TIMER:
      OnTimer(AWParam);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(AWParam)) return 0;
      return DefWindowProcW(FHandle, AMsg, AWParam, ALParam);
    case WM_CHAR:
      if (AWParam >= 0x20 && AWParam <= 0xFFFF) {
        const auto Key = static_cast<char16_t>(AWParam);
        win32::RunHandler(FHandle, [this, Key] { FForm.KeyPress(Key); });
        return 0;
      }
      return DefWindowProcW(FHandle, AMsg, AWParam, ALParam);
    default:
      return DefWindowProcW(FHandle, AMsg, AWParam, ALParam);
  }
}

void TWin32Form::OnCommand(WPARAM AWParam) noexcept {
  const auto Found = FControls.find(LOWORD(AWParam));
  if (Found == FControls.end()) return;
  const auto& Native = Found->second;
  const auto Code = HIWORD(AWParam);
  if (auto* Image = dynamic_cast<TImage*>(Native.Control); Image && Code == STN_DBLCLK) {
    win32::RunHandler(FHandle, [Image] { Image->DblClick(); });
  } else if (auto* Combo = dynamic_cast<TComboBox*>(Native.Control)) {
    if (Code == CBN_SELCHANGE) {
      const int Index = static_cast<int>(SendMessageW(Native.Handle, CB_GETCURSEL, 0, 0));
      win32::RunHandler(FHandle, [Combo, Index] { Combo->Select(Index); });
    } else if (Code == CBN_DROPDOWN) {
      win32::RunHandler(FHandle, [Combo] { Combo->DropDown(); });
    }
  } else if (auto* Button = dynamic_cast<TButton*>(Native.Control); Button && Code == BN_CLICKED) {
    win32::RunHandler(FHandle, [Button] { Button->Click(); });
  }
}

// A timer's handler does not run again while it is still busy (for
// instance while it shows an error).
void TWin32Form::OnTimer(WPARAM AId) noexcept {
  const auto Found = FTimers.find(static_cast<int>(AId));
  if (Found == FTimers.end() || FInTimer) return;
  FInTimer = true;
  TTimer* Timer = Found->second;
  win32::RunHandler(FHandle, [Timer] { Timer->Timer(); });
  FInTimer = false;
}

// The keys of a page control: Ctrl+Tab and Ctrl+Page Down go to the next
// page, Ctrl+Shift+Tab and Ctrl+Page Up to the previous one, and so do the
// arrow keys, as on a focused tab strip.
bool TWin32Form::OnKeyDown(WPARAM AKey) noexcept {
  if (!FPageControl) return false;
  const bool Control = GetKeyState(VK_CONTROL) < 0;
  const bool Shift = GetKeyState(VK_SHIFT) < 0;
  int Direction = 0;
  if ((AKey == VK_TAB && Control) || AKey == VK_NEXT || AKey == VK_PRIOR) {
    if (AKey == VK_TAB) Direction = Shift ? -1 : 1;
    if (AKey == VK_NEXT && Control) Direction = 1;
    if (AKey == VK_PRIOR && Control) Direction = -1;
  } else if (AKey == VK_RIGHT || AKey == VK_DOWN) {
    Direction = 1;
  } else if (AKey == VK_LEFT || AKey == VK_UP) {
    Direction = -1;
  }
  if (Direction == 0) return false;
  win32::RunHandler(FHandle, [this, Direction] { FForm.PageKey(Direction > 0); });
  return true;
}

void TWin32Form::OnNotify(const NMHDR& AHeader) noexcept {
  if (AHeader.hwndFrom != FTabs || AHeader.code != static_cast<UINT>(TCN_SELCHANGE)) return;
  const int Item = TabCtrl_GetCurSel(FTabs);
  if (Item < 0) return;
  TCITEMW Tab{};
  Tab.mask = TCIF_PARAM;
  if (!TabCtrl_GetItem(FTabs, Item, &Tab)) return;
  win32::RunHandler(FHandle, [this, &Tab] { FPageControl->SetActivePage(static_cast<int>(Tab.lParam)); });
}

}  // namespace

std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm) { return std::make_unique<TWin32Form>(AForm); }

int PrimaryScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

void HandleException(const TForm* AOwner, std::exception_ptr AError) noexcept {
  win32::ShowHandlerError(AOwner ? static_cast<HWND>(AOwner->Native().Handle()) : nullptr, AError);
}

void ShellExplore(const TForm* AParent, const std::u16string& AFolder) {
  HWND Parent = AParent ? static_cast<HWND>(AParent->Native().Handle()) : nullptr;
  const auto Result = reinterpret_cast<INT_PTR>(ShellExecuteW(Parent, L"explore", Wide(AFolder), L"", L"", SW_SHOWNORMAL));
  if (Result <= 32) throw Exception(u"Cannot open the folder \"" + AFolder + u"\" (error " + IntToText(Result) + u")");
}

void ProcessMessages() {
  MSG Msg;
  while (PeekMessageW(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    if (Msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(Msg.wParam));
      break;
    }
    TranslateMessage(&Msg);
    DispatchMessageW(&Msg);
  }
}

}  // namespace platform::ui
