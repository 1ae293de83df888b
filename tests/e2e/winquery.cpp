// winquery: reports what Windows itself knows of a top-level window, for the
// end-to-end window tests that run beside the add-in under Wine. X11 sees
// position and opacity, but not Windows' own z-order bands: whether a window
// is topmost, and whether it stays above a window activated after it, are
// answered here.
//
//   winquery.exe TITLE
//   winquery.exe TITLE --text CLASS
//
// Prints key=value lines (exit status 1 when no window has that title):
//   rect=LEFT TOP RIGHT BOTTOM     outer rectangle, screen coordinates
//   client=WIDTH HEIGHT
//   screen=WIDTH HEIGHT            primary screen
//   visible=0|1  topmost=0|1  toolwindow=0|1  layered=0|1
//   alpha=N                        layered alpha, or -1 when none is set
//   zorder=N                       place among the visible top-level windows, 0 = top
//   child=CLASS ID LEFT TOP RIGHT BOTTOM VISIBLE   one line per direct child
// With --text, prints instead the whole text (UTF-8) of the last visible
// direct child of that class, as the window itself gives it (WM_GETTEXT).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

struct TZOrderSearch {
  HWND Target = nullptr;
  int Index = 0;
  int Found = -1;
};

BOOL CALLBACK CountAbove(HWND AWindow, LPARAM AData) {
  auto* Search = reinterpret_cast<TZOrderSearch*>(AData);
  if (AWindow == Search->Target) {
    Search->Found = Search->Index;
    return FALSE;
  }
  if (IsWindowVisible(AWindow)) ++Search->Index;
  return TRUE;
}

struct TChildList {
  HWND Parent = nullptr;
};

BOOL CALLBACK PrintChild(HWND AWindow, LPARAM AData) {
  auto* List = reinterpret_cast<TChildList*>(AData);
  if (GetParent(AWindow) != List->Parent) return TRUE;  // direct children only
  char ClassName[64] = {};
  GetClassNameA(AWindow, ClassName, sizeof ClassName);
  RECT R{};
  GetWindowRect(AWindow, &R);
  std::printf("child=%s %d %ld %ld %ld %ld %d\n", ClassName, GetDlgCtrlID(AWindow), R.left, R.top, R.right,
              R.bottom, IsWindowVisible(AWindow) ? 1 : 0);
  return TRUE;
}

int Query(const wchar_t* ATitle) {
  HWND Window = FindWindowW(nullptr, ATitle);
  if (!Window) {
    std::printf("found=0\n");
    return 1;
  }
  RECT Outer{};
  RECT Client{};
  GetWindowRect(Window, &Outer);
  GetClientRect(Window, &Client);
  const LONG_PTR ExStyle = GetWindowLongPtrW(Window, GWL_EXSTYLE);
  BYTE Alpha = 0;
  DWORD Flags = 0;
  const bool HasAlpha = (ExStyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(Window, nullptr, &Alpha, &Flags) &&
                        (Flags & LWA_ALPHA);
  TZOrderSearch Search;
  Search.Target = Window;
  EnumWindows(&CountAbove, reinterpret_cast<LPARAM>(&Search));

  std::printf("found=1\n");
  std::printf("rect=%ld %ld %ld %ld\n", Outer.left, Outer.top, Outer.right, Outer.bottom);
  std::printf("client=%ld %ld\n", Client.right - Client.left, Client.bottom - Client.top);
  std::printf("screen=%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  std::printf("visible=%d\n", IsWindowVisible(Window) ? 1 : 0);
  std::printf("topmost=%d\n", (ExStyle & WS_EX_TOPMOST) ? 1 : 0);
  std::printf("toolwindow=%d\n", (ExStyle & WS_EX_TOOLWINDOW) ? 1 : 0);
  std::printf("layered=%d\n", (ExStyle & WS_EX_LAYERED) ? 1 : 0);
  std::printf("alpha=%d\n", HasAlpha ? static_cast<int>(Alpha) : -1);
  std::printf("zorder=%d\n", Search.Found);
  TChildList Children;
  Children.Parent = Window;
  EnumChildWindows(Window, &PrintChild, reinterpret_cast<LPARAM>(&Children));
  return 0;
}

struct TTextSearch {
  HWND Parent = nullptr;
  std::wstring Class;
  HWND Found = nullptr;
};

BOOL CALLBACK FindChild(HWND AWindow, LPARAM AData) {
  auto* Search = reinterpret_cast<TTextSearch*>(AData);
  wchar_t ClassName[64] = {};
  GetClassNameW(AWindow, ClassName, 64);
  if (GetParent(AWindow) == Search->Parent && IsWindowVisible(AWindow) && _wcsicmp(ClassName, Search->Class.c_str()) == 0)
    Search->Found = AWindow;
  return TRUE;
}

int PrintText(const wchar_t* ATitle, const wchar_t* AClass) {
  TTextSearch Search;
  Search.Parent = FindWindowW(nullptr, ATitle);
  Search.Class = AClass;
  if (!Search.Parent) return 1;
  EnumChildWindows(Search.Parent, &FindChild, reinterpret_cast<LPARAM>(&Search));
  if (!Search.Found) return 1;
  const LRESULT Length = SendMessageW(Search.Found, WM_GETTEXTLENGTH, 0, 0);
  std::wstring Text(static_cast<std::size_t>(Length) + 1, L'\0');
  const LRESULT Got = SendMessageW(Search.Found, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(Text.data()));
  Text.resize(static_cast<std::size_t>(Got));
  const int Bytes = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
  std::string Utf8(static_cast<std::size_t>(Bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), Utf8.data(), Bytes, nullptr, nullptr);
  std::fwrite(Utf8.data(), 1, Utf8.size(), stdout);
  return 0;
}

}  // namespace

int main() {
  int Count = 0;
  // The narrow argv cannot carry Cyrillic titles; take the UTF-16 command line.
  LPWSTR* Args = CommandLineToArgvW(GetCommandLineW(), &Count);
  const bool Text = Args && Count == 4 && std::wstring(Args[2]) == L"--text";
  if (!Args || (Count != 2 && !Text)) {
    std::fprintf(stderr, "usage: winquery.exe TITLE [--text CLASS]\n");
    return 2;
  }
  const int Status = Text ? PrintText(Args[1], Args[3]) : Query(Args[1]);
  LocalFree(Args);
  std::fflush(stdout);
  return Status;
}
