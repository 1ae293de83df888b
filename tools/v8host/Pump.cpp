#include "v8host/Pump.h"

#include <thread>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace v8host {

namespace {

std::function<void()>& Hook() {
  static std::function<void()> Instance;
  return Instance;
}

}  // namespace

std::function<void()> SetPumpHook(std::function<void()> AHook) { return std::exchange(Hook(), std::move(AHook)); }

void PumpMessages(std::chrono::milliseconds ADuration) {
  const auto until = std::chrono::steady_clock::now() + ADuration;
#if defined(_WIN32)
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
    // Wakes on new input or when the time is up.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
#else
  for (;;) {
    if (Hook()) Hook()();
    const auto now = std::chrono::steady_clock::now();
    if (now >= until) break;
    std::this_thread::sleep_until(std::min(until, now + std::chrono::milliseconds(5)));
  }
#endif
}

}  // namespace v8host
