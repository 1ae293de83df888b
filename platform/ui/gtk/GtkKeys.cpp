#include "platform/ui/gtk/GtkKeys.h"

namespace platform::ui::gtk {

namespace {

int PageStepOf(guint AKeyval, bool AControl, bool AShift) noexcept {
  switch (AKeyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab:  // Shift+Tab
      if (!AControl) return 0;
      return AShift || AKeyval == GDK_KEY_ISO_Left_Tab ? -1 : 1;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
      return AControl ? 1 : 0;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
      return AControl ? -1 : 0;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
      return 1;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
      return -1;
    default:
      return 0;
  }
}

}  // namespace

TFormKey TranslateKey(guint AKeyval, guint AState) noexcept {
  const bool Control = (AState & GDK_CONTROL_MASK) != 0;
  const bool Shift = (AState & GDK_SHIFT_MASK) != 0;
  TFormKey Key;
  Key.PageStep = PageStepOf(AKeyval, Control, Shift);
  if (Key.PageStep != 0 || Control || (AState & GDK_MOD1_MASK) != 0) return Key;
  const gunichar Char = gdk_keyval_to_unicode(AKeyval);
  // Characters of the Basic Multilingual Plane, as one UTF-16 unit.
  if (Char >= 0x20 && Char != 0x7F && Char <= 0xFFFF && !(Char >= 0xD800 && Char <= 0xDFFF))
    Key.Char = static_cast<char16_t>(Char);
  return Key;
}

}  // namespace platform::ui::gtk
