#include "platform/ui/gtk/GtkSession.h"

#include <clocale>
#include <memory>

#include "common/Exception.h"
#include "common/Text.h"

namespace platform::ui::gtk {

namespace {

struct TGFree {
  void operator()(void* AData) const noexcept { g_free(AData); }
};
using TGString = std::unique_ptr<gchar, TGFree>;

struct TErrorFree {
  void operator()(GError* AError) const noexcept { g_error_free(AError); }
};
using TGError = std::unique_ptr<GError, TErrorFree>;

GdkMonitor* PrimaryMonitor() noexcept {
  GdkDisplay* Display = gdk_display_get_default();
  if (!Display) return nullptr;
  GdkMonitor* Monitor = gdk_display_get_primary_monitor(Display);
  return Monitor ? Monitor : gdk_display_get_monitor(Display, 0);
}

}  // namespace

// gtk_init_check answers false where gtk_init would end the process. It
// also sets the C locale from the environment, which is the host's to
// decide: the host's locale is put back afterwards. Once GTK runs (here or
// in the host), a further call only asks for the default display.
bool HasDisplay() noexcept {
  try {
    const char* Current = std::setlocale(LC_ALL, nullptr);
    const std::string Saved = Current ? Current : "C";
    const bool Ready = gtk_init_check(nullptr, nullptr) != FALSE;
    std::setlocale(LC_ALL, Saved.c_str());
    return Ready && gdk_display_get_default() != nullptr;
  } catch (...) {
    return false;
  }
}

void RequireDisplay() {
  if (!HasDisplay())
    throw Exception(
        u"Cannot show the window: no graphical display is available (DISPLAY or WAYLAND_DISPLAY is not set, or the "
        u"display cannot be opened)");
}

GdkRectangle PrimaryMonitorArea() {
  RequireDisplay();
  GdkRectangle Area{0, 0, 0, 0};
  if (GdkMonitor* Monitor = PrimaryMonitor()) gdk_monitor_get_geometry(Monitor, &Area);
  return Area;
}

int PrimaryMonitorScale() noexcept {
  if (!HasDisplay()) return 1;
  GdkMonitor* Monitor = PrimaryMonitor();
  const int Scale = Monitor ? gdk_monitor_get_scale_factor(Monitor) : 1;
  return Scale > 0 ? Scale : 1;
}

void FlushDisplay() noexcept {
  if (GdkDisplay* Display = gdk_display_get_default()) gdk_display_flush(Display);
}

std::string FileUri(const std::u16string& APath) {
  GError* Error = nullptr;
  TGString Uri(g_filename_to_uri(ToUtf8(APath).c_str(), nullptr, &Error));
  TGError Owned(Error);
  if (!Uri) throw Exception(u"Cannot make a URI of \"" + APath + u"\": " + ToUtf16(Error ? Error->message : "?"));
  return Uri.get();
}

void OpenUri(const std::string& AUri, const std::u16string& AWhat) {
  GdkDisplay* Display = HasDisplay() ? gdk_display_get_default() : nullptr;
  TObjectRef<GdkAppLaunchContext> Context(Display ? gdk_display_get_app_launch_context(Display) : nullptr);
  GError* Error = nullptr;
  if (g_app_info_launch_default_for_uri(AUri.c_str(), Context.Object ? G_APP_LAUNCH_CONTEXT(Context.Object) : nullptr,
                                        &Error))
    return;
  TGError GioError(Error);
  // No handler known to GIO: the desktop's own opener.
  const char* Argv[] = {"xdg-open", AUri.c_str(), nullptr};
  Error = nullptr;
  if (g_spawn_async(nullptr, const_cast<gchar**>(Argv), nullptr,
                    static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                             G_SPAWN_STDERR_TO_DEV_NULL),
                    nullptr, nullptr, nullptr, &Error))
    return;
  TGError SpawnError(Error);
  throw Exception(u"Cannot open " + AWhat + u": " + ToUtf16(GioError ? GioError->message : "no handler") + u"; " +
                  ToUtf16(SpawnError ? SpawnError->message : "xdg-open failed"));
}

}  // namespace platform::ui::gtk
