#pragma once
// Settings of the headless window layer, which keeps every window's state
// without showing anything: what a test needs to stand in for a screen.
namespace platform::ui::headless {

inline constexpr int DefaultScreenWidth = 1280;
// A tool window's frame as Windows draws it at 96 dots per inch: a fixed
// 3-pixel border and a 17-pixel small caption.
inline constexpr int FrameWidth = 3;
inline constexpr int SmallCaptionHeight = 17;

void SetPrimaryScreenWidth(int AWidth) noexcept;

}  // namespace platform::ui::headless
