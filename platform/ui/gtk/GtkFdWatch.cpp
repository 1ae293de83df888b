// Descriptor watches of the GTK window layer: sources of GLib's default
// main context, so they are served by whoever runs that context's loop (the
// platform's GTK main loop, a modal window, ProcessMessages).
#include <glib-unix.h>
#include <glib.h>

#include <utility>

#include "platform/ui/FdWatch.h"

namespace platform::ui {

namespace {

class TGlibFdWatch final : public TFdWatch {
public:
  explicit TGlibFdWatch(std::function<void()> AOnReadable) : FOnReadable(std::move(AOnReadable)) {}
  ~TGlibFdWatch() override {
    if (FSource) g_source_remove(FSource);
    if (FResume) g_source_remove(FResume);
  }
  void Start(int AFd) {
    FFd = AFd;
    FSource = g_unix_fd_add_full(G_PRIORITY_DEFAULT, AFd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                 &OnReady, this, nullptr);
  }
  void Pause(int AMilliseconds) noexcept override {
    if (FResume) return;
    if (FSource) g_source_remove(FSource);
    FSource = 0;
    FResume = g_timeout_add(static_cast<guint>(AMilliseconds > 0 ? AMilliseconds : 0), &OnResume, this);
  }

private:
  static gboolean OnResume(gpointer AData) noexcept {
    auto* Self = static_cast<TGlibFdWatch*>(AData);
    Self->FResume = 0;
    Self->Start(Self->FFd);
    return G_SOURCE_REMOVE;
  }

  static gboolean OnReady(gint, GIOCondition, gpointer AData) noexcept {
    auto* Self = static_cast<TGlibFdWatch*>(AData);
    try {
      Self->FOnReadable();
    } catch (...) {
      // The callback must not throw; nothing may leave into GLib.
    }
    return G_SOURCE_CONTINUE;
  }

  std::function<void()> FOnReadable;
  int FFd = -1;
  guint FSource = 0;
  guint FResume = 0;  // the timer that ends a pause
};

}  // namespace

std::unique_ptr<TFdWatch> WatchReadable(int AFd, std::function<void()> AOnReadable) {
  auto Watch = std::make_unique<TGlibFdWatch>(std::move(AOnReadable));
  Watch->Start(AFd);
  return Watch;
}

}  // namespace platform::ui
