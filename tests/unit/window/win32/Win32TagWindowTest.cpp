// The tag window as the Windows window system sees it. These tests need a
// display (under Wine: an X server such as Xvfb).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/Text.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "rfid/ufmBarcodes.h"

namespace {

HWND FormHandle(const TfmBarcodes& AWindow) { return static_cast<HWND>(AWindow.Form().Native().Handle()); }

HWND ControlHandle(const TfmBarcodes& AWindow, const platform::ui::TControl& AControl) {
  return static_cast<HWND>(AWindow.Form().Native().ControlHandle(AControl));
}

std::u16string Tid(int ANumber) { return u"E28011002000589616B408A" + IntToText(ANumber); }

void FillTids(TfmBarcodes& AWindow) {
  for (int I = 0; I < 8; ++I) AWindow.SetBarcode(I, Tid(I + 1));
}

std::vector<std::u16string> TabCaptions(HWND ATabs) {
  std::vector<std::u16string> Result;
  for (int Item = 0; Item < TabCtrl_GetItemCount(ATabs); ++Item) {
    wchar_t Text[16]{};
    TCITEMW Tab{};
    Tab.mask = TCIF_TEXT;
    Tab.pszText = Text;
    Tab.cchTextMax = 16;
    TabCtrl_GetItem(ATabs, Item, &Tab);
    Result.emplace_back(reinterpret_cast<const char16_t*>(Text));
  }
  return Result;
}

TEST(Win32TagWindow, IsAHiddenLayeredToolWindowWithoutCaptionButtons) {
  TfmBarcodes Window;
  HWND Handle = FormHandle(Window);
  ASSERT_NE(Handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(Handle));
  EXPECT_EQ(GetWindow(Handle, GW_OWNER), nullptr);
  EXPECT_EQ(GetParent(Handle), nullptr);
  const auto Style = GetWindowLongPtrW(Handle, GWL_STYLE);
  const auto ExStyle = GetWindowLongPtrW(Handle, GWL_EXSTYLE);
  EXPECT_TRUE(ExStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ExStyle & WS_EX_LAYERED);
  EXPECT_TRUE((Style & WS_CAPTION) == WS_CAPTION);
  EXPECT_FALSE(Style & WS_SYSMENU);
  RECT Client{};
  GetClientRect(Handle, &Client);
  EXPECT_EQ(Client.right, 185);
  EXPECT_EQ(Client.bottom, 111);
  wchar_t Caption[64]{};
  GetWindowTextW(Handle, Caption, 64);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(Caption)), u"Эмулятор RFID");
  BYTE Alpha = 0;
  DWORD Flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Handle, nullptr, &Alpha, &Flags));
  EXPECT_EQ(Alpha, 235);
  EXPECT_TRUE(Flags & LWA_ALPHA);
}

TEST(Win32TagWindow, ShowPlacesTheWindowTopRightTopmostWithItsAlpha) {
  TfmBarcodes Window;
  FillTids(Window);
  Window.SetAlphaBlend(true);
  Window.SetAlphaBlendValue(200);
  Window.Show();
  platform::ui::ProcessMessages();
  HWND Handle = FormHandle(Window);
  EXPECT_TRUE(IsWindowVisible(Handle));
  RECT Outer{};
  GetWindowRect(Handle, &Outer);
  EXPECT_EQ(Outer.left, GetSystemMetrics(SM_CXSCREEN) - (Outer.right - Outer.left));
  EXPECT_EQ(Outer.top, 10);
  EXPECT_EQ(Outer.right - Outer.left, Window.Form().Width());
  EXPECT_TRUE(GetWindowLongPtrW(Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) << std::hex << GetWindowLongPtrW(Handle, GWL_EXSTYLE);
  BYTE Alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Handle, nullptr, &Alpha, nullptr));
  EXPECT_EQ(Alpha, 200);
  Window.Hide();
  EXPECT_FALSE(IsWindowVisible(Handle));
}

TEST(Win32TagWindow, TabsAndImagesFollowTheTexts) {
  TfmBarcodes Window;
  Window.SetBarcode(0, u"first");
  Window.SetBarcode(4, u"fifth");
  Window.SetBarcode(6, u"seventh");
  Window.Show();
  HWND Tabs = ControlHandle(Window, Window.PageControl());
  ASSERT_NE(Tabs, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(Tabs, GWL_STYLE) & TCS_BUTTONS);
  EXPECT_EQ(TabCaptions(Tabs), (std::vector<std::u16string>{u"1", u"2"}));
  EXPECT_EQ(TabCtrl_GetCurSel(Tabs), 0);

  HWND Image1 = ControlHandle(Window, Window.Image(1));
  HWND Image2 = ControlHandle(Window, Window.Image(2));
  HWND Image3 = ControlHandle(Window, Window.Image(3));
  EXPECT_TRUE(IsWindowVisible(Image1));
  EXPECT_TRUE(IsWindowVisible(Image2));
  EXPECT_FALSE(IsWindowVisible(Image3));  // on page 2
  EXPECT_NE(SendMessageW(Image1, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  RECT R1{}, R2{};
  GetWindowRect(Image1, &R1);
  GetWindowRect(Image2, &R2);
  EXPECT_EQ(R1.right - R1.left, 80);
  EXPECT_EQ(R1.bottom - R1.top, 80);
  EXPECT_EQ(R2.left - R1.left, 86);
  EXPECT_EQ(R1.top, R2.top);

  // Choosing the second page by clicking its tab shows the third image.
  RECT Item{};
  ASSERT_TRUE(TabCtrl_GetItemRect(Tabs, 1, &Item));
  const LPARAM Point = MAKELPARAM((Item.left + Item.right) / 2, (Item.top + Item.bottom) / 2);
  SendMessageW(Tabs, WM_LBUTTONDOWN, MK_LBUTTON, Point);
  SendMessageW(Tabs, WM_LBUTTONUP, 0, Point);
  platform::ui::ProcessMessages();
  EXPECT_EQ(Window.PageControl().ActivePage(), 1);
  EXPECT_FALSE(IsWindowVisible(Image1));
  EXPECT_TRUE(IsWindowVisible(Image3));

  // With one text left only the first tab stays, and the page is kept.
  Window.Hide();
  Window.SetBarcode(4, u"");
  Window.SetBarcode(6, u"");
  Window.Show();
  EXPECT_EQ(TabCaptions(Tabs), (std::vector<std::u16string>{u"1"}));
  EXPECT_EQ(Window.PageControl().ActivePage(), 1);
  EXPECT_EQ(TabCtrl_GetCurSel(Tabs), -1);
}

TEST(Win32TagWindow, DoubleClickOnAnImageReachesTheHandlerThroughTheMessageQueue) {
  TfmBarcodes Window;
  FillTids(Window);
  std::vector<std::intptr_t> Reported;
  Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
  Window.Show();
  HWND Image2 = ControlHandle(Window, Window.Image(2));
  PostMessageW(Image2, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageW(Image2, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  PostMessageW(Image2, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageW(Image2, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_TRUE(Reported.empty());
  platform::ui::ProcessMessages();
  EXPECT_EQ(Reported, (std::vector<std::intptr_t>{1}));
}

TEST(Win32TagWindow, CloseRequestHidesTheWindowAndTheNextShowBringsItBack) {
  TfmBarcodes Window;
  FillTids(Window);
  Window.Show();
  HWND Handle = FormHandle(Window);
  SendMessageW(Handle, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(Handle));
  EXPECT_FALSE(IsWindowVisible(Handle));
  EXPECT_FALSE(Window.Visible());
  Window.Show();
  EXPECT_TRUE(IsWindowVisible(Handle));
}

TEST(Win32TagWindow, AlphaBlendingCanBeSwitchedOff) {
  TfmBarcodes Window;
  Window.SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLongPtrW(FormHandle(Window), GWL_EXSTYLE) & WS_EX_LAYERED);
  Window.SetAlphaBlendValue(4);
  Window.SetAlphaBlend(true);
  BYTE Alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(FormHandle(Window), nullptr, &Alpha, nullptr));
  EXPECT_EQ(Alpha, 4);
}

TEST(Win32TagWindow, EachShowFreesTheBitmapsOfThePicturesItReplaces) {
  TfmBarcodes Window;
  FillTids(Window);
  std::set<HGDIOBJ> Seen;
  auto Current = [&] {
    std::set<HGDIOBJ> Shown;
    for (int N = 1; N <= 8; ++N)
      Shown.insert(reinterpret_cast<HGDIOBJ>(
          SendMessageW(ControlHandle(Window, Window.Image(N)), STM_GETIMAGE, IMAGE_BITMAP, 0)));
    return Shown;
  };
  for (int Cycle = 0; Cycle < 50; ++Cycle) {
    Window.Show();
    const auto Shown = Current();
    Seen.insert(Shown.begin(), Shown.end());
    Window.Hide();
  }
  // Every bitmap ever shown is gone, except those shown now (a handle value
  // may come back for a new bitmap).
  const auto Shown = Current();
  EXPECT_EQ(Shown.size(), 8u);
  for (HGDIOBJ Handle : Seen)
    if (!Shown.count(Handle)) {
      EXPECT_EQ(GetObjectType(Handle), 0u) << Handle;
    }
  BITMAP Info{};
  ASSERT_NE(GetObject(*Shown.begin(), sizeof(Info), &Info), 0);
  EXPECT_EQ(Info.bmWidth, 80);
  EXPECT_EQ(Info.bmHeight, 80);
}

}  // namespace
