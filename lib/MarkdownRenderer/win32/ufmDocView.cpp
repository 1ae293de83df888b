// The help window on Windows: a top-level window that hosts the shell's
// WebBrowser control in place, and runs its own message loop while shown.
#include "lib/MarkdownRenderer/ufmDocView.h"

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "lib/MarkdownRenderer/win32/BrowserSite.h"
#include "lib/MarkdownRenderer/win32/ComRef.h"

namespace {

constexpr wchar_t WindowClassName[] = L"TfrmDocView";
constexpr int DesignDpi = 120;
constexpr int DesignClientWidth = 633;
constexpr int DesignClientHeight = 425;
constexpr int DesignFontHeight = 13;
constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_DLGMODALFRAME;

HINSTANCE OwnModule() noexcept {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

std::wstring Wide(const std::u16string& AText) { return std::wstring(AText.begin(), AText.end()); }

int ScreenDpi() noexcept {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// OLE on the calling thread for as long as the window lives.
class TOleThread {
public:
  TOleThread() noexcept : FInitialized(SUCCEEDED(OleInitialize(nullptr))) {}
  ~TOleThread() {
    if (FInitialized)
      OleUninitialize();
  }
  TOleThread(const TOleThread&) = delete;
  TOleThread& operator=(const TOleThread&) = delete;

private:
  bool FInitialized;
};

// While a window is modal, the other windows of its thread take no input.
class TThreadWindowsDisabled {
public:
  explicit TThreadWindowsDisabled(HWND AModal) {
    FModal = AModal;
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : FDisabled)
      EnableWindow(window, FALSE);
  }
  ~TThreadWindowsDisabled() {
    for (HWND window : FDisabled)
      if (IsWindow(window))
        EnableWindow(window, TRUE);
  }
  TThreadWindowsDisabled(const TThreadWindowsDisabled&) = delete;
  TThreadWindowsDisabled& operator=(const TThreadWindowsDisabled&) = delete;

private:
  static BOOL CALLBACK Collect(HWND AWindow, LPARAM AThis) noexcept {
    auto* self = reinterpret_cast<TThreadWindowsDisabled*>(AThis);
    if (AWindow != self->FModal && IsWindowVisible(AWindow) && IsWindowEnabled(AWindow))
      self->FDisabled.push_back(AWindow);
    return TRUE;
  }

  HWND FModal = nullptr;
  std::vector<HWND> FDisabled;
};

// The window class of the form, registered while a form exists. A library
// that registers a class must remove it again: after an unload and a reload
// at another address a left-over class would point to a stale procedure.
class TWindowClass {
public:
  explicit TWindowClass(WNDPROC AProcedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = AProcedure;
    windowClass.hInstance = OwnModule();
    windowClass.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = WindowClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw Exception(u"Cannot register the window class TfrmDocView, error " + IntToText(GetLastError()));
  }
  // Fails harmlessly while another window of the class still exists.
  ~TWindowClass() { UnregisterClassW(WindowClassName, OwnModule()); }
  TWindowClass(const TWindowClass&) = delete;
  TWindowClass& operator=(const TWindowClass&) = delete;
};

}  // namespace

struct TfrmDocView::TImpl {
  TOleThread Ole;
  TWindowClass WindowClass{&WindowProc};
  HWND Window = nullptr;
  HFONT Font = nullptr;
  std::unique_ptr<TBrowserSite> Site;  // outlives Browser, which refers to it
  TComRef<IOleObject> Browser;         // wbBrowser
  bool Closed = false;

  TImpl(const std::u16string& AHtmlFilePath, const std::u16string& ACaption);
  ~TImpl();
  TImpl(const TImpl&) = delete;
  TImpl& operator=(const TImpl&) = delete;

  void CreateFormWindow(const std::u16string& ACaption);
  void CreateBrowser();
  void Navigate(const std::u16string& AHtmlFilePath);
  void ResizeBrowser() noexcept;
  void ReleaseBrowser() noexcept;
  void RunModalLoop();

  static LRESULT CALLBACK WindowProc(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam) noexcept;
};

TfrmDocView::TImpl::TImpl(const std::u16string& AHtmlFilePath, const std::u16string& ACaption) {
  CreateFormWindow(ACaption);
  try {
    CreateBrowser();
    Navigate(AHtmlFilePath);
  } catch (...) {
    ReleaseBrowser();
    DestroyWindow(Window);
    if (Font)
      DeleteObject(Font);
    throw;
  }
}

TfrmDocView::TImpl::~TImpl() {
  ReleaseBrowser();
  if (Window)
    DestroyWindow(Window);
  if (Font)
    DeleteObject(Font);
}

// Client area 633 x 425 at 120 dpi, scaled to the screen; centred; Tahoma.
void TfrmDocView::TImpl::CreateFormWindow(const std::u16string& ACaption) {
  const int dpi = ScreenDpi();
  RECT frame{0, 0, MulDiv(DesignClientWidth, dpi, DesignDpi), MulDiv(DesignClientHeight, dpi, DesignDpi)};
  AdjustWindowRectEx(&frame, WindowStyle, FALSE, WindowExStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  const std::wstring caption = Wide(ACaption);
  Window = CreateWindowExW(WindowExStyle, WindowClassName, caption.c_str(), WindowStyle, left, top, width, height,
                           nullptr, nullptr, OwnModule(), this);
  if (!Window)
    throw Exception(u"Cannot create the window TfrmDocView, error " + IntToText(GetLastError()));
  Font = CreateFontW(-MulDiv(DesignFontHeight, dpi, DesignDpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
  if (Font)
    SendMessageW(Window, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
}

void TfrmDocView::TImpl::CreateBrowser() {
  Site = std::make_unique<TBrowserSite>(Window);
  HRESULT result = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    IID_IOleObject, Browser.Receive());
  if (FAILED(result) || !Browser)
    throw Exception(std::u16string(u"Cannot create the web browser control"));
  result = Browser->SetClientSite(static_cast<IOleClientSite*>(Site.get()));
  if (FAILED(result))
    throw Exception(std::u16string(u"Cannot embed the web browser control"));
  RECT client{};
  GetClientRect(Window, &client);
  result = Browser->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(Site.get()), 0, Window, &client);
  if (FAILED(result))
    throw Exception(std::u16string(u"Cannot activate the web browser control"));
}

void TfrmDocView::TImpl::Navigate(const std::u16string& AHtmlFilePath) {
  TComRef<IWebBrowser2> browser;
  if (FAILED(Browser->QueryInterface(IID_IWebBrowser2, browser.Receive())) || !browser)
    throw Exception(std::u16string(u"The web browser control cannot navigate"));
  const std::wstring path = Wide(AHtmlFilePath);
  VARIANT url;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(path.c_str());
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = browser->Navigate2(&url, &none, &none, &none, &none);
  VariantClear(&url);
  if (FAILED(result))
    throw Exception(u"Cannot open the page " + AHtmlFilePath);
}

void TfrmDocView::TImpl::ResizeBrowser() noexcept {
  if (!Browser)
    return;
  TComRef<IOleInPlaceObject> inPlace;
  if (SUCCEEDED(Browser->QueryInterface(IID_IOleInPlaceObject, inPlace.Receive())) && inPlace) {
    RECT client{};
    GetClientRect(Window, &client);
    inPlace->SetObjectRects(&client, &client);
  }
}

void TfrmDocView::TImpl::ReleaseBrowser() noexcept {
  if (Site)
    Site->Detach();
  if (Browser) {
    Browser->Close(OLECLOSE_NOSAVE);
    Browser->SetClientSite(nullptr);
    Browser.Reset();
  }
}

void TfrmDocView::TImpl::RunModalLoop() {
  Closed = false;
  TThreadWindowsDisabled others(Window);
  ShowWindow(Window, SW_SHOWNORMAL);
  SetForegroundWindow(Window);
  MSG message{};
  while (!Closed) {
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result == 0) {
      // A quit request belongs to the loop of whoever called us.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (result == -1)
      break;
    IOleInPlaceActiveObject* active = Site ? Site->ActiveObject() : nullptr;
    if (active && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
        active->TranslateAccelerator(&message) == S_OK)
      continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (Window)
    ShowWindow(Window, SW_HIDE);
}

LRESULT CALLBACK TfrmDocView::TImpl::WindowProc(HWND AWindow, UINT AMessage, WPARAM AWParam, LPARAM ALParam) noexcept {
  if (AMessage == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(ALParam);
    SetWindowLongPtrW(AWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TImpl*>(GetWindowLongPtrW(AWindow, GWLP_USERDATA));
  if (self) {
    switch (AMessage) {
      case WM_SIZE:
        self->ResizeBrowser();
        return 0;
      case WM_CLOSE:
        // The window is hidden by the modal loop and destroyed with the form.
        self->Closed = true;
        return 0;
      case WM_DESTROY:
        self->Closed = true;
        self->Window = nullptr;
        SetWindowLongPtrW(AWindow, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  }
  return DefWindowProcW(AWindow, AMessage, AWParam, ALParam);
}

TfrmDocView::TfrmDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption)
    : FHtmlFilePath(AHtmlFilePath), FCaption(ACaption), FImpl(std::make_unique<TImpl>(AHtmlFilePath, ACaption)) {}

TfrmDocView::~TfrmDocView() = default;

void TfrmDocView::ShowModal() { FImpl->RunModalLoop(); }
