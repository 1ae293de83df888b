#include "v8host/Pump.h"

#include <algorithm>
#include <thread>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace v8host {

namespace {

std::function<void()>& Hook() {
  static std::function<void()> Instance;
  return Instance;
}

}  // namespace

std::function<void()> SetPumpHook(std::function<void()> AHook) { return std::exchange(Hook(), std::move(AHook)); }

#if !defined(_WIN32)
namespace {

// An add-in with GTK windows gets its events from GLib's default main
// context, which a GTK application iterates in its main loop. The harness
// is no GTK application and does not link GLib: it finds the iteration
// function in the GLib that the add-in brought into the process, if any.
using TContextIteration = int (*)(void* AContext, int AMayBlock);

TContextIteration GlibIteration() noexcept {
  void* Glib = dlopen("libglib-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
  void* Symbol = Glib ? dlsym(Glib, "g_main_context_iteration") : dlsym(RTLD_DEFAULT, "g_main_context_iteration");
  if (Glib) dlclose(Glib);  // the add-in's own reference keeps it loaded
  return reinterpret_cast<TContextIteration>(Symbol);
}

}  // namespace
#endif

void PumpMessages(std::chrono::milliseconds ADuration, TPumpStats* AStats) {
  const auto until = std::chrono::steady_clock::now() + ADuration;
#if defined(_WIN32)
  for (;;) {
    MSG message;
    // A message sent from another thread or process is handled inside
    // PeekMessage itself, so each look with its dispatch is timed.
    for (;;) {
      const auto started = std::chrono::steady_clock::now();
      const bool posted = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);
      if (posted) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      if (AStats) AStats->Count(std::chrono::steady_clock::now() - started);
      if (!posted) break;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
    // Wakes on new input or when the time is up.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
#else
  const TContextIteration iterate = GlibIteration();
  for (;;) {
    if (Hook()) Hook()();
    if (iterate)
      for (;;) {
        const auto started = std::chrono::steady_clock::now();
        if (!iterate(nullptr, 0)) break;
        if (AStats) AStats->Count(std::chrono::steady_clock::now() - started);
      }
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) break;
    // Short naps keep input and timers responsive without blocking in GLib
    // past the deadline.
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(until - now, std::chrono::milliseconds(5)));
  }
#endif
}

}  // namespace v8host
