// Descriptor watches of the headless window layer: ProcessMessages() asks
// poll() which of the calling thread's watched descriptors are readable,
// without waiting, and runs their callbacks.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/ui/FdWatch.h"
#include "platform/ui/Form.h"

namespace platform::ui {

namespace {

struct TWatchEntry {
  int Fd;
  std::thread::id Thread;
  std::function<void()> OnReadable;
  bool Alive = true;  // only touched on Thread
  std::chrono::steady_clock::time_point ResumeAt{};  // paused until then; only touched on Thread
};

struct TWatchList {
  std::mutex Lock;
  std::vector<std::shared_ptr<TWatchEntry>> Entries;
};

TWatchList& Watches() {
  static TWatchList Instance;
  return Instance;
}

class THeadlessFdWatch final : public TFdWatch {
public:
  explicit THeadlessFdWatch(std::shared_ptr<TWatchEntry> AEntry) : FEntry(std::move(AEntry)) {}
  ~THeadlessFdWatch() override {
    FEntry->Alive = false;
    auto& W = Watches();
    std::lock_guard Guard(W.Lock);
    std::erase(W.Entries, FEntry);
  }
  void Pause(int AMilliseconds) noexcept override {
    FEntry->ResumeAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(AMilliseconds);
  }

private:
  std::shared_ptr<TWatchEntry> FEntry;
};

}  // namespace

std::unique_ptr<TFdWatch> WatchReadable(int AFd, std::function<void()> AOnReadable) {
  auto Entry = std::make_shared<TWatchEntry>(TWatchEntry{AFd, std::this_thread::get_id(), std::move(AOnReadable)});
  auto Watch = std::make_unique<THeadlessFdWatch>(Entry);
  auto& W = Watches();
  std::lock_guard Guard(W.Lock);
  W.Entries.push_back(std::move(Entry));
  return Watch;
}

void ProcessMessages() {
  std::vector<std::shared_ptr<TWatchEntry>> Mine;
  {
    auto& W = Watches();
    std::lock_guard Guard(W.Lock);
    const auto Now = std::chrono::steady_clock::now();
    for (const auto& Entry : W.Entries)
      if (Entry->Thread == std::this_thread::get_id() && Entry->ResumeAt <= Now) Mine.push_back(Entry);
  }
  if (Mine.empty()) return;
  std::vector<pollfd> Polled;
  Polled.reserve(Mine.size());
  for (const auto& Entry : Mine) Polled.push_back({Entry->Fd, POLLIN, 0});
  if (poll(Polled.data(), Polled.size(), 0) <= 0) return;
  // A callback may end any watch, its own among them: each entry is kept
  // here while its callback runs, and one ended meanwhile is skipped.
  for (std::size_t I = 0; I < Mine.size(); ++I)
    if (Polled[I].revents != 0 && Mine[I]->Alive) Mine[I]->OnReadable();
}

}  // namespace platform::ui
