#pragma once
// Settings and records of the headless window layer, which keeps every
// window's state without showing anything: what a test needs to stand in
// for a screen and a user.
#include <functional>
#include <string>
#include <vector>

namespace platform::ui {
class TForm;
}

namespace platform::ui::headless {

inline constexpr int DefaultScreenWidth = 1280;
// A tool window's frame as Windows draws it at 96 dots per inch: a fixed
// 3-pixel border and a 17-pixel small caption.
inline constexpr int FrameWidth = 3;
inline constexpr int SmallCaptionHeight = 17;

void SetPrimaryScreenWidth(int AWidth) noexcept;

// What happens while a form is shown modally: the handler plays the user
// (it may raise events and should end with a close request). Without one a
// modal show returns at once. Returns the previous handler.
using TModalHandler = std::function<void(TForm& AForm)>;
TModalHandler SetModalHandler(TModalHandler AHandler);

// Messages the framework would have shown in message boxes, oldest first;
// taking them empties the record.
std::vector<std::u16string> TakeErrorMessages();

// Folders handed to the file manager, oldest first; taking them empties the
// record.
std::vector<std::u16string> TakeExploredFolders();

}  // namespace platform::ui::headless
