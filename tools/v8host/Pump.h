#pragma once
// Lets the calling thread's windows process their input for a while (the
// platform's own message loop does this between calls): Windows messages,
// or on Linux the events of GLib's default main context when the add-in
// brought GLib (its GTK windows); otherwise it only waits.
#include <chrono>

namespace v8host {

void PumpMessages(std::chrono::milliseconds ADuration);

}  // namespace v8host
