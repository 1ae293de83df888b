#pragma once
// GTK in the add-in's process. The platform's Linux client is itself a GTK
// application, so GTK usually runs already; in any other host (the test
// harness, a server without a display) the windows initialise GTK
// themselves, once, when a window is first needed, on the calling thread.
#include <gtk/gtk.h>

#include <string>

namespace platform::ui::gtk {

// True when GTK has a display to show windows on (initialising GTK on the
// first call that finds one). Never aborts and prints nothing without a
// display.
bool HasDisplay() noexcept;

// Throws Exception with a message for the user when there is no display.
void RequireDisplay();

// The primary monitor's area in GTK's (logical) pixels; requires a display.
GdkRectangle PrimaryMonitorArea();
// The primary monitor's scale factor (GDK_SCALE); 1 without a display.
int PrimaryMonitorScale() noexcept;

// Runs nested iterations of GLib's default main context until AEnded says
// so; AWindow is modal meanwhile. A window is best made modal before it is
// mapped (gtk_window_set_modal): without a window manager no one applies a
// later change of its state.
template <class F>
void RunModalLoop(GtkWindow* AWindow, F&& AEnded) {
  gtk_window_set_modal(AWindow, TRUE);
  gtk_window_present(AWindow);
  while (!AEnded()) g_main_context_iteration(nullptr, TRUE);
  gtk_window_set_modal(AWindow, FALSE);
}

// Sends what GDK has buffered for the display (showing, hiding, destroying
// windows) now, not at the main loop's next turn, which may be far off when
// the host waits for its next call.
void FlushDisplay() noexcept;

// Opens AUri with the desktop's default handler (GIO), falling back to
// xdg-open. Throws Exception naming AWhat when neither can.
void OpenUri(const std::string& AUri, const std::u16string& AWhat);

// A file path as a file:// URI.
std::string FileUri(const std::u16string& APath);

// Owns one reference of a GObject.
template <class T>
struct TObjectRef {
  T* Object = nullptr;
  TObjectRef() = default;
  explicit TObjectRef(T* AObject) noexcept : Object(AObject) {}
  TObjectRef(const TObjectRef&) = delete;
  TObjectRef& operator=(const TObjectRef&) = delete;
  ~TObjectRef() {
    if (Object) g_object_unref(Object);
  }
};

}  // namespace platform::ui::gtk
