// winquery: reports what Windows itself knows of a top-level window, for the
// end-to-end window tests that run beside the add-in under Wine. X11 sees
// position and opacity, but not Windows' own z-order bands: whether a window
// is topmost, and whether it stays above a window activated after it, are
// answered here.
//
//   winquery.exe TITLE
//
// Prints key=value lines (exit status 1 when no window has that title):
//   rect=LEFT TOP RIGHT BOTTOM     outer rectangle, screen coordinates
//   client=WIDTH HEIGHT
//   screen=WIDTH HEIGHT            primary screen
//   visible=0|1  topmost=0|1  toolwindow=0|1  layered=0|1
//   alpha=N                        layered alpha, or -1 when none is set
//   zorder=N                       place among the visible top-level windows, 0 = top
//   child=CLASS ID LEFT TOP RIGHT BOTTOM VISIBLE   one line per direct child
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

}  // namespace

int main() {
  int Count = 0;
  // The narrow argv cannot carry Cyrillic titles; take the UTF-16 command line.
  LPWSTR* Args = CommandLineToArgvW(GetCommandLineW(), &Count);
  if (!Args || Count != 2) {
    std::fprintf(stderr, "usage: winquery.exe TITLE\n");
    return 2;
  }
  const int Status = Query(Args[1]);
  LocalFree(Args);
  std::fflush(stdout);
  return Status;
}
