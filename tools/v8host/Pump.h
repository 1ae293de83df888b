#pragma once
// Lets the calling thread's windows process their input for a while (the
// platform's own message loop does this between calls): Windows messages,
// or on Linux the events of GLib's default main context when the add-in
// brought GLib (its GTK windows), and the pump hook in short steps (a
// program that links the add-in's objects sets it to their message
// processing); otherwise it only waits.
#include <chrono>
#include <cstddef>
#include <functional>

namespace v8host {

// What the dispatches of PumpMessages took: each look for a Windows message
// with the dispatch of what it found (messages sent from elsewhere are
// handled during the look), or each iteration of GLib's main context that
// dispatched something. The
// longest one is the longest the thread's windows were held at once.
struct TPumpStats {
  std::chrono::steady_clock::duration Longest{};
  std::size_t Dispatches = 0;
  void Count(std::chrono::steady_clock::duration ATook) noexcept {
    ++Dispatches;
    if (ATook > Longest) Longest = ATook;
  }
};

// With AStats, each dispatch is timed into it.
void PumpMessages(std::chrono::milliseconds ADuration, TPumpStats* AStats = nullptr);

// Run every few milliseconds while PumpMessages waits (Linux); returns the
// previous hook.
std::function<void()> SetPumpHook(std::function<void()> AHook);

}  // namespace v8host
