// The Win32 side of the window layer: a top-level window per form, a tab
// control for the page control and static bitmap controls for the images.
#include "platform/ui/win32/Win32Ui.h"

#include <commctrl.h>

#include <map>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"

namespace platform::ui {

namespace {

using win32::TBitmapHandle;
using win32::TBrushHandle;
using win32::TFontHandle;
using win32::Wide;

constexpr DWORD ToolWindowStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD ToolWindowExStyle = WS_EX_TOOLWINDOW;
constexpr int PageControlId = 1;
constexpr int FirstImageId = 100;
constexpr int MinTabWidth = 24;

COLORREF ToColorRef(std::uint32_t ARgb) noexcept {
  return RGB((ARgb >> 16) & 0xFF, (ARgb >> 8) & 0xFF, ARgb & 0xFF);
}

struct TNativeImage {
  TImage* Control = nullptr;
  HWND Handle = nullptr;
  TBitmapHandle Picture;
  std::uint64_t PictureGeneration = 0;
  bool HasTool = false;
};

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
  void* Handle() const noexcept override { return FHandle; }
  void* ControlHandle(const TControl& AControl) const noexcept override;

private:
  static LRESULT CALLBACK WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept;
  LRESULT HandleMessage(UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept;
  void OnCommand(WPARAM AWParam) noexcept;
  void OnNotify(const NMHDR& AHeader) noexcept;

  HWND CreateChild(const wchar_t* AClass, DWORD AStyle, const TRect& ABounds, int AId);
  void AddPageControl(TPageControl& APageControl);
  void AddImage(TImage& AImage);
  void RebuildTabs();
  void LayoutImages();
  void UpdateImage(TNativeImage& AImage);
  void UpdateHint(TNativeImage& AImage);

  TForm& FForm;
  HWND FHandle = nullptr;
  HWND FTooltip = nullptr;
  TFontHandle FFont;
  TBrushHandle FBrush;
  TPageControl* FPageControl = nullptr;
  HWND FTabs = nullptr;
  std::map<int, TNativeImage> FImages;  // by control id
};

TWin32Form::TWin32Form(TForm& AForm) : FForm(AForm) {
  win32::EnsureCommonControls();
  const auto& D = AForm.Design();
  FBrush.reset(CreateSolidBrush(ToColorRef(D.Color)));
  FFont.reset(CreateFontW(D.FontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(D.FontName)));
  RECT Outer{0, 0, D.ClientWidth, D.ClientHeight};
  AdjustWindowRectEx(&Outer, ToolWindowStyle, FALSE, ToolWindowExStyle);
  FHandle = CreateWindowExW(ToolWindowExStyle, win32::FormClassName(&WndProc), Wide(D.Caption), ToolWindowStyle, D.Left,
                            D.Top, Outer.right - Outer.left, Outer.bottom - Outer.top, nullptr, nullptr,
                            win32::ModuleInstance(), this);
  if (!FHandle) throw Exception(u"Cannot create the window (error " + IntToText(GetLastError()) + u")");
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  // The tooltip has no owner: Wine does not keep a window topmost that owns
  // a topmost popup. It is destroyed with the form.
  FTooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             win32::ModuleInstance(), nullptr);
  if (FTooltip) SendMessageW(FTooltip, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  SetAlpha(AForm.AlphaBlend(), AForm.AlphaBlendValue());
}

TWin32Form::~TWin32Form() {
  // Destroying the window destroys its controls; the pictures are freed
  // afterwards with FImages.
  if (FTooltip) DestroyWindow(FTooltip);
  if (FHandle) {
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
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
  for (const auto& [Id, Image] : FImages)
    if (Image.Control == &AControl) return Image.Handle;
  return nullptr;
}

HWND TWin32Form::CreateChild(const wchar_t* AClass, DWORD AStyle, const TRect& ABounds, int AId) {
  HWND Child = CreateWindowExW(0, AClass, L"", WS_CHILD | AStyle, ABounds.Left, ABounds.Top, ABounds.Width,
                               ABounds.Height, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(AId)),
                               win32::ModuleInstance(), nullptr);
  if (!Child) throw Exception(u"Cannot create a control");
  SendMessageW(Child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  return Child;
}

void TWin32Form::ControlAdded(TControl& AControl) {
  if (auto* PageControl = dynamic_cast<TPageControl*>(&AControl)) AddPageControl(*PageControl);
  if (auto* Image = dynamic_cast<TImage*>(&AControl)) AddImage(*Image);
}

void TWin32Form::ControlChanged(TControl& AControl) {
  if (&AControl == FPageControl) {
    RebuildTabs();
    LayoutImages();
    return;
  }
  for (auto& [Id, Image] : FImages)
    if (Image.Control == &AControl) UpdateImage(Image);
}

void TWin32Form::AddPageControl(TPageControl& APageControl) {
  if (FPageControl) throw Exception(u"A form holds one page control");
  const auto& D = FForm.Design();
  FPageControl = &APageControl;
  FTabs = CreateChild(WC_TABCONTROLW, WS_VISIBLE | WS_CLIPSIBLINGS | TCS_BUTTONS | TCS_MULTILINE | TCS_RAGGEDRIGHT,
                      {0, 0, D.ClientWidth, D.ClientHeight}, PageControlId);
  // Buttons as wide as their captions, as a page control draws them (the
  // tab control's default minimum is 54 pixels).
  TabCtrl_SetMinTabWidth(FTabs, MinTabWidth);
  RebuildTabs();
}

void TWin32Form::AddImage(TImage& AImage) {
  const int Id = FirstImageId + static_cast<int>(FImages.size());
  auto& Image = FImages[Id];
  Image.Control = &AImage;
  Image.Handle = CreateChild(L"STATIC", SS_BITMAP | SS_NOTIFY, AImage.Bounds(), Id);
  // The images lie above the page control.
  SetWindowPos(FTabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  LayoutImages();
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
  for (auto& [Id, Image] : FImages) {
    const auto& B = Image.Control->Bounds();
    SetWindowPos(Image.Handle, nullptr, Area.left + B.Left, Area.top + B.Top, B.Width, B.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateImage(Image);
  }
}

void TWin32Form::UpdateImage(TNativeImage& AImage) {
  const TImage& Control = *AImage.Control;
  const TBitmap* Picture = Control.Picture();
  if (Picture && AImage.PictureGeneration != Control.PictureGeneration()) {
    // The image keeps a bitmap handle of its own; the one the control gives
    // back is the previous picture, which is freed here.
    auto Bitmap = win32::CreateBitmapHandle(*Picture);
    SendMessageW(AImage.Handle, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bitmap.get()));
    AImage.Picture = std::move(Bitmap);
    AImage.PictureGeneration = Control.PictureGeneration();
  }
  const bool Shown = Control.Visible() && Control.Page() == Control.Parent().ActivePage();
  ShowWindow(AImage.Handle, Shown ? SW_SHOWNA : SW_HIDE);
  UpdateHint(AImage);
}

void TWin32Form::UpdateHint(TNativeImage& AImage) {
  if (!FTooltip) return;
  TOOLINFOW Tool{};
  Tool.cbSize = TTTOOLINFOW_V2_SIZE;
  Tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  Tool.hwnd = FHandle;
  Tool.uId = reinterpret_cast<UINT_PTR>(AImage.Handle);
  const bool Wanted = AImage.Control->ShowHint() && !AImage.Control->Hint().empty();
  if (!Wanted) {
    if (AImage.HasTool) SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&Tool));
    AImage.HasTool = false;
    return;
  }
  std::u16string Text = AImage.Control->Hint();
  Tool.lpszText = reinterpret_cast<wchar_t*>(Text.data());
  if (AImage.HasTool) {
    SendMessageW(FTooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&Tool));
  } else {
    AImage.HasTool = SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&Tool)) != FALSE;
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
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(AWParam), ToColorRef(FForm.Design().Color));
      return reinterpret_cast<LRESULT>(FBrush.get());
    default:
      return DefWindowProcW(FHandle, AMsg, AWParam, ALParam);
  }
}

void TWin32Form::OnCommand(WPARAM AWParam) noexcept {
  if (HIWORD(AWParam) != STN_DBLCLK) return;
  const auto Found = FImages.find(LOWORD(AWParam));
  if (Found == FImages.end()) return;
  TImage* Image = Found->second.Control;
  win32::RunHandler(FHandle, [Image] { Image->DblClick(); });
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
