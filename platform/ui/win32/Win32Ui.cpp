#include "platform/ui/win32/Win32Ui.h"

#include <commctrl.h>

#include <cstring>
#include <mutex>

#include "common/Exception.h"
#include "platform/win32/OwnModule.h"
#include "platform/win32/CommandChannelWire.h"

namespace platform::ui::win32 {

namespace {

// Clients of the command channel look for this class.
constexpr const wchar_t* FormClass = platform::win32::kFormWindowClass;

// Classes a library registers outlive it unless it unregisters them, and a
// stale class would point at code that is gone after the library reloads.
class TFormClassRegistration {
public:
  explicit TFormClassRegistration(WNDPROC AWndProc) {
    WNDCLASSEXW Class{};
    Class.cbSize = sizeof(Class);
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = AWndProc;
    Class.hInstance = OwnModule();
    Class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    Class.lpszClassName = FormClass;
    FAtom = RegisterClassExW(&Class);
  }
  ~TFormClassRegistration() {
    if (FAtom) UnregisterClassW(FormClass, OwnModule());
  }
  bool Registered() const noexcept { return FAtom != 0; }

private:
  ATOM FAtom = 0;
};

}  // namespace

const wchar_t* FormClassName(WNDPROC AWndProc) {
  static const TFormClassRegistration Registration(AWndProc);
  if (!Registration.Registered()) throw Exception(u"Cannot register the window class");
  return FormClass;
}

void EnsureCommonControls() noexcept {
  static std::once_flag Once;
  std::call_once(Once, [] {
    INITCOMMONCONTROLSEX Init{sizeof(Init), ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&Init);
  });
}

TBitmapHandle CreateBitmapHandle(const TBitmap& ABitmap) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
  Info.bmiHeader.biWidth = ABitmap.Width();
  Info.bmiHeader.biHeight = -ABitmap.Height();  // rows from the top
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  TBitmapHandle Result(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
  if (!Result || !Bits) throw Exception(u"Cannot create a bitmap");
  // BI_RGB 32-bit pixels are 0x00RRGGBB in memory order B, G, R, 0: the
  // same layout as TBitmap.
  std::memcpy(Bits, ABitmap.Data(),
              static_cast<std::size_t>(ABitmap.Width()) * static_cast<std::size_t>(ABitmap.Height()) * 4);
  GdiFlush();
  return Result;
}

void ShowHandlerError(HWND AOwner, std::exception_ptr AError) noexcept {
  try {
    const std::u16string Message = ExceptionMessage(AError);
    std::u16string Caption(256, u'\0');
    if (!AOwner || GetWindowTextW(AOwner, reinterpret_cast<wchar_t*>(Caption.data()), 256) == 0) Caption = u"Error";
    MessageBoxW(AOwner, Wide(Message), reinterpret_cast<const wchar_t*>(Caption.c_str()), MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(AOwner, L"Unknown failure", L"Error", MB_OK | MB_ICONERROR);
  }
}

}  // namespace platform::ui::win32
