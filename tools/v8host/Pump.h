#pragma once
// Lets the calling thread's windows process their input for a while (the
// platform's own message loop does this between calls). Without windows
// (Linux) it waits, running the pump hook in short steps: a program that
// links the add-in's objects sets it to their message processing.
#include <chrono>
#include <functional>

namespace v8host {

void PumpMessages(std::chrono::milliseconds ADuration);

// Run every few milliseconds while PumpMessages waits (Linux); returns the
// previous hook.
std::function<void()> SetPumpHook(std::function<void()> AHook);

}  // namespace v8host
