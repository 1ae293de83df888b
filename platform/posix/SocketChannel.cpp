// The command channel of a form on Linux: a listening Unix socket in the
// user's channel folder, served through the window layer's descriptor
// watches, so every read and write happens in the windows' message
// processing. Nothing here ever waits: sockets are non-blocking, each read
// takes only what has arrived, a command is one line of bounded length, and
// a client gets one answer and is closed. Clients that stay silent are
// dropped after a few seconds, checked whenever the channel has something
// to do, and never more than a few are kept at once.
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <list>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <utility>

#include "platform/posix/ChannelFolder.h"
#include "platform/ui/CommandChannel.h"
#include "platform/ui/FdWatch.h"

namespace platform::ui {

namespace {

using TClock = std::chrono::steady_clock;

constexpr auto kSilenceLimit = std::chrono::seconds(3);
constexpr std::size_t kClientLimit = 8;
constexpr int kAcceptsPerWakeUp = 8;
// How long the listener rests when no connection can be accepted for want
// of descriptors or memory.
constexpr int kAcceptPauseMs = 250;

std::atomic<unsigned> GChannelNumber{0};

class TDescriptor {
public:
  explicit TDescriptor(int AFd = -1) noexcept : FFd(AFd) {}
  TDescriptor(const TDescriptor&) = delete;
  TDescriptor& operator=(const TDescriptor&) = delete;
  ~TDescriptor() {
    if (FFd >= 0) close(FFd);
  }
  int Get() const noexcept { return FFd; }
  int Release() noexcept { return std::exchange(FFd, -1); }
  void Reset(int AFd) noexcept {
    if (FFd >= 0) close(FFd);
    FFd = AFd;
  }

private:
  int FFd;
};

struct TClient {
  TDescriptor Socket;
  std::unique_ptr<TFdWatch> Watch;
  std::string Received;
  TClock::time_point Deadline;
};

// The socket file is removed only while it is still the one this channel
// bound: whatever took its name meanwhile (another channel's socket) stays.
void UnlinkIfBound(const std::string& APath, ino_t ASocketFile) noexcept {
  struct stat Info {};
  if (lstat(APath.c_str(), &Info) == 0 && S_ISSOCK(Info.st_mode) && Info.st_ino == ASocketFile) unlink(APath.c_str());
}

// Binds AListener to a new name in AFolder, never taking a name that is in
// use; the socket file's path and inode, or nothing.
std::optional<std::pair<std::string, ino_t>> BindNewName(int AListener, const std::string& AFolder, unsigned ANumber) {
  for (int Attempt = 0; Attempt < 4; ++Attempt) {
    const std::string Path = AFolder + "/" + platform::posix::ChannelSocketName(getpid(), ANumber);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    if (Path.size() >= sizeof(Address.sun_path)) return std::nullopt;
    std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
    if (bind(AListener, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) != 0) {
      if (errno == EADDRINUSE) continue;  // a name drawn twice: draw again
      return std::nullopt;
    }
    struct stat Info {};
    if (lstat(Path.c_str(), &Info) != 0) return std::nullopt;
    return std::pair{Path, Info.st_ino};
  }
  return std::nullopt;
}

class TSocketChannel final : public TCommandChannel {
public:
  TSocketChannel(std::string APath, std::string AId, ino_t ASocketFile, int AListener, TCommandLimits ALimits,
                 TCommandHandler AHandler)
      : FPath(std::move(APath)),
        FId(std::move(AId)),
        FSocketFile(ASocketFile),
        FListener(AListener),
        FLimits(std::move(ALimits)),
        FHandler(std::move(AHandler)) {
    FWatch = WatchReadable(FListener.Get(), [this] { AcceptClients(); });
  }

  ~TSocketChannel() override {
    FWatch.reset();
    FClients.clear();
    UnlinkIfBound(FPath, FSocketFile);
  }

  const std::string& Id() const noexcept override { return FId; }

private:
  void AcceptClients() noexcept {
    DropSilentClients();
    for (int I = 0; I < kAcceptsPerWakeUp; ++I) {
      const int Fd = accept4(FListener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (Fd < 0) {
        // The waiting connection keeps the listener readable: the watch
        // rests a while rather than call here again at once, which would
        // keep the window's thread busy with nothing else.
        if (errno == EMFILE || errno == ENFILE || errno == ENOMEM || errno == ENOBUFS) FWatch->Pause(kAcceptPauseMs);
        return;
      }
      TDescriptor Socket(Fd);
      if (!SameUser(Fd)) continue;
      if (FClients.size() >= kClientLimit) FClients.pop_front();
      try {
        auto& Client = FClients.emplace_back();
        Client.Deadline = TClock::now() + kSilenceLimit;
        Client.Socket.Reset(Socket.Release());
        auto Position = std::prev(FClients.end());
        Client.Watch = WatchReadable(Client.Socket.Get(), [this, Position] { Serve(Position); });
      } catch (...) {
        if (!FClients.empty() && !FClients.back().Watch) FClients.pop_back();
        return;
      }
    }
  }

  static bool SameUser(int AFd) noexcept {
    ucred Peer{};
    socklen_t Size = sizeof(Peer);
    return getsockopt(AFd, SOL_SOCKET, SO_PEERCRED, &Peer, &Size) == 0 && Peer.uid == getuid();
  }

  void DropSilentClients() noexcept {
    const auto Now = TClock::now();
    FClients.remove_if([Now](const TClient& C) { return C.Deadline <= Now; });
  }

  // Reads what has arrived; a complete line is answered, and the client
  // closed after its answer, after an error, or when it hangs up.
  void Serve(std::list<TClient>::iterator AClient) noexcept {
    TClient& Client = *AClient;
    char Buffer[4096];
    bool Closed = false;
    for (;;) {
      const ssize_t Got = read(Client.Socket.Get(), Buffer, sizeof(Buffer));
      if (Got > 0) {
        try {
          Client.Received.append(Buffer, static_cast<std::size_t>(Got));
        } catch (...) {
          Closed = true;
          break;
        }
        if (Client.Received.find('\n') != std::string::npos || Client.Received.size() > Limit(Client)) break;
        continue;
      }
      if (Got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) Closed = true;
      if (Got < 0 && errno == EINTR) continue;
      break;
    }
    const std::size_t End = Client.Received.find('\n');
    const std::size_t Max = Limit(Client);
    if (End != std::string::npos && End <= Max) {
      Answer(Client, FHandler(std::string_view(Client.Received).substr(0, End)));
    } else if (Client.Received.size() > Max) {
      Answer(Client, FHandler(std::string_view(Client.Received)));  // refused as too long
    } else if (!Closed && TClock::now() < Client.Deadline) {
      return;  // more is on its way
    }
    FClients.erase(AClient);
    DropSilentClients();
  }

  std::size_t Limit(const TClient& AClient) const noexcept { return CommandLimit(FLimits, AClient.Received); }

  static void Answer(TClient& AClient, std::string AText) noexcept {
    try {
      AText += '\n';
    } catch (...) {
      return;
    }
    // A fresh socket's buffer holds a short answer whole; a client that
    // does not read it simply loses it.
    (void)send(AClient.Socket.Get(), AText.data(), AText.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  }

  std::string FPath;
  std::string FId;
  ino_t FSocketFile;
  TDescriptor FListener;
  TCommandLimits FLimits;
  TCommandHandler FHandler;
  std::unique_ptr<TFdWatch> FWatch;
  std::list<TClient> FClients;
};

}  // namespace

std::unique_ptr<TCommandChannel> OpenCommandChannel(TForm&, TCommandLimits ALimits,
                                                    TCommandHandler AHandler) noexcept {
  try {
    const auto Folder = platform::posix::ChannelFolder(true);
    if (!Folder) return nullptr;
    const unsigned Number = ++GChannelNumber;
    TDescriptor Listener(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (Listener.Get() < 0) return nullptr;
    const auto Bound = BindNewName(Listener.Get(), *Folder, Number);
    if (!Bound) return nullptr;
    const auto& [Path, SocketFile] = *Bound;
    chmod(Path.c_str(), 0600);
    if (listen(Listener.Get(), static_cast<int>(kClientLimit)) != 0) {
      UnlinkIfBound(Path, SocketFile);
      return nullptr;
    }
    const std::string Name = Path.substr(Folder->size() + 1);
    try {
      return std::make_unique<TSocketChannel>(Path, Name.substr(0, Name.size() - 5), SocketFile, Listener.Release(),
                                              std::move(ALimits), std::move(AHandler));
    } catch (...) {
      UnlinkIfBound(Path, SocketFile);
      return nullptr;
    }
  } catch (...) {
    return nullptr;
  }
}

}  // namespace platform::ui
