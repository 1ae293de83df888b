#pragma once
// Watching a file descriptor from the windows' message processing. The
// callback runs on the thread that runs the windows' event loop, and only
// when the descriptor has something to read (or its peer hung up); it never
// runs on another thread. With the GTK window layer the watch is a source of
// GLib's default main context; headless, ProcessMessages() polls the watched
// descriptors without waiting.
#include <functional>
#include <memory>

namespace platform::ui {

class TFdWatch {
public:
  TFdWatch() = default;
  TFdWatch(const TFdWatch&) = delete;
  TFdWatch& operator=(const TFdWatch&) = delete;
  // Ends the watch: the callback is not called any more.
  virtual ~TFdWatch() = default;
  // Stops the watch for AMilliseconds, then watches again. For a callback
  // that cannot take what is waiting (no descriptor left to accept a
  // connection with): the descriptor stays readable, and the callback
  // would otherwise run again at once, over and over.
  virtual void Pause(int AMilliseconds) noexcept = 0;
};

// Starts watching AFd (which stays the caller's to close, after the watch
// has ended). AOnReadable must not throw.
std::unique_ptr<TFdWatch> WatchReadable(int AFd, std::function<void()> AOnReadable);

}  // namespace platform::ui
