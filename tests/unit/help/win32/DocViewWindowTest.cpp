// The help window on Windows: a real window with the WebBrowser control,
// closed by a close request while its modal loop runs.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "common/Text.h"
#include "lib/MarkdownRenderer/ufmDocView.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "unit/help/HelpTestSupport.h"

namespace fs = std::filesystem;

namespace {

const wchar_t Caption[] = L"Справка (тест)";

struct TSeen {
  bool Found = false;
  bool Visible = false;
  RECT Client{};
  RECT Frame{};
};
TSeen Seen;

// Runs inside the window's modal loop: looks at the window, then asks it to
// close as a user would.
void CALLBACK CloseDocView(HWND, UINT, UINT_PTR ATimer, DWORD) {
  KillTimer(nullptr, ATimer);
  HWND window = FindWindowW(nullptr, Caption);
  Seen.Found = window != nullptr;
  if (!window)
    return;
  Seen.Visible = IsWindowVisible(window) != FALSE;
  GetClientRect(window, &Seen.Client);
  GetWindowRect(window, &Seen.Frame);
  PostMessageW(window, WM_CLOSE, 0, 0);
}

bool SafetyNetFired = false;
void CALLBACK QuitModalLoop(HWND, UINT, UINT_PTR ATimer, DWORD) {
  KillTimer(nullptr, ATimer);
  SafetyNetFired = true;
  PostQuitMessage(0);
}

// Windows need a desktop; a Wine session started without a display has none.
bool DesktopAvailable() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!probe)
    return false;
  DestroyWindow(probe);
  return true;
}

using DocViewWindow = help_test::THelpTest;

TEST_F(DocViewWindow, ShowsModallyUntilClosed) {
  ASSERT_TRUE(DesktopAvailable()) << "no desktop to create windows on (run under a display)";
  const fs::path page = TempRoot() / "page.html";
  help_test::WriteBytes(page, "\xEF\xBB\xBF<h1>x</h1>");
  const std::u16string caption(Caption, Caption + wcslen(Caption));

  TfrmDocView view(page.u16string(), caption);
  EXPECT_EQ(view.Caption(), caption);
  EXPECT_EQ(view.HtmlFilePath(), page.u16string());
  HWND window = FindWindowW(nullptr, Caption);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window, view.Form().Native().Handle());
  EXPECT_FALSE(IsWindowVisible(window));  // shown only by ShowModal
  // Its own icon from the library's resources (the window class has none),
  // in the caption and in the task switcher.
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);

  ASSERT_NE(SetTimer(nullptr, 0, 300, &CloseDocView), 0u);
  // A safety net: a quit request ends the loop should the close request not.
  const UINT_PTR safetyNet = SetTimer(nullptr, 0, 15000, &QuitModalLoop);
  view.ShowModal();
  KillTimer(nullptr, safetyNet);
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  EXPECT_FALSE(SafetyNetFired);

  ASSERT_TRUE(Seen.Found);
  EXPECT_TRUE(Seen.Visible);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(Seen.Client.right - Seen.Client.left, MulDiv(633, dpi, 120));
  EXPECT_EQ(Seen.Client.bottom - Seen.Client.top, MulDiv(425, dpi, 120));
  const int centreX = (Seen.Frame.left + Seen.Frame.right) / 2;
  const int centreY = (Seen.Frame.top + Seen.Frame.bottom) / 2;
  EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR(centreY, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  // Closed, the window is hidden; it goes with the form.
  EXPECT_FALSE(IsWindowVisible(window));
}

}  // namespace
