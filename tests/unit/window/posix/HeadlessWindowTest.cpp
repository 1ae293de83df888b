// The headless window layer stands in for a screen of any width.
#include <gtest/gtest.h>

#include "platform/ui/posix/Headless.h"
#include "rfid/ufmBarcodes.h"

namespace {

struct ScreenWidth {
  explicit ScreenWidth(int AWidth) { platform::ui::headless::SetPrimaryScreenWidth(AWidth); }
  ~ScreenWidth() { platform::ui::headless::SetPrimaryScreenWidth(platform::ui::headless::DefaultScreenWidth); }
};

TEST(HeadlessWindow, TagWindowFollowsTheScreenWidthOnEveryShow) {
  TfmBarcodes Window;
  EXPECT_EQ(Window.Form().Width(), 185 + 6);
  {
    ScreenWidth Screen(1920);
    Window.Show();
    EXPECT_EQ(Window.Form().Left(), 1920 - 191);
    EXPECT_EQ(Window.Form().Top(), 10);
  }
  Window.Hide();
  Window.Form().SetPosition(5, 5);
  Window.Show();
  EXPECT_EQ(Window.Form().Left(), 1280 - 191);
  EXPECT_EQ(Window.Form().Top(), 10);
}

TEST(HeadlessWindow, AlphaAndCloseRequestsAreKept) {
  TfmBarcodes Window;
  Window.SetAlphaBlendValue(4);
  Window.SetAlphaBlend(false);
  EXPECT_EQ(Window.AlphaBlendValue(), 4);
  EXPECT_FALSE(Window.Form().AlphaBlend());
  Window.Show();
  Window.Form().CloseRequested();
  EXPECT_FALSE(Window.Visible());
  Window.Show();
  EXPECT_TRUE(Window.Visible());
}

}  // namespace
