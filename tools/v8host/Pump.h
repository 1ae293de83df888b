#pragma once
// Lets the calling thread's windows process their input for a while (the
// platform's own message loop does this between calls): Windows messages,
// or on Linux the events of GLib's default main context when the add-in
// brought GLib (its GTK windows), and the pump hook in short steps (a
// program that links the add-in's objects sets it to their message
// processing); otherwise it only waits.
#include <chrono>
#include <functional>

namespace v8host {

void PumpMessages(std::chrono::milliseconds ADuration);

// Run every few milliseconds while PumpMessages waits (Linux); returns the
// previous hook.
std::function<void()> SetPumpHook(std::function<void()> AHook);

}  // namespace v8host
