#pragma once
// What a key pressed in a form means to the form, read as the Win32 layer
// reads its keys: the keys that move between the pages of a page control,
// and the character a key types.
#include <gdk/gdk.h>

namespace platform::ui::gtk {

struct TFormKey {
  // +1: the next page (Ctrl+Tab, Ctrl+Page Down, Right, Down); -1: the
  // previous one (Ctrl+Shift+Tab, Ctrl+Page Up, Left, Up); 0: neither.
  int PageStep = 0;
  // The character typed (digits on the main row and on the keypad alike),
  // 0 for none: control characters, and keys held with Ctrl or Alt, type
  // nothing.
  char16_t Char = 0;
};

TFormKey TranslateKey(guint AKeyval, guint AState) noexcept;

}  // namespace platform::ui::gtk
