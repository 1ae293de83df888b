#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/ChannelFolder.h"
#include "quorvel-tags/TagClient.h"
#include "rfid/FieldCommand.h"

namespace quorvel_tags {

namespace {

using TClock = std::chrono::steady_clock;

struct TSocket {
  int Fd = -1;
  ~TSocket() {
    if (Fd >= 0) close(Fd);
  }
};

bool ProcessGone(pid_t AProcess) { return kill(AProcess, 0) != 0 && errno == ESRCH; }

// Waits for AEvents on AFd until ADeadline, running AWhileWaiting between
// short polls when given.
bool WaitFor(int AFd, short AEvents, TClock::time_point ADeadline, const std::function<void()>& AWhileWaiting) {
  for (;;) {
    const auto Now = TClock::now();
    if (Now >= ADeadline) return false;
    auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(ADeadline - Now).count() + 1;
    if (AWhileWaiting) {
      AWhileWaiting();
      Left = std::min<long long>(Left, 5);
    }
    pollfd Poll{AFd, AEvents, 0};
    const int Ready = poll(&Poll, 1, static_cast<int>(Left));
    if (Ready > 0) return true;
    if (Ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

long long CurrentProcess() noexcept { return getpid(); }

std::vector<TReader> FindReaders() {
  std::vector<TReader> Result;
  const auto Folder = platform::posix::ChannelFolder(false);
  if (!Folder) return Result;
  DIR* Dir = opendir(Folder->c_str());
  if (!Dir) return Result;
  while (const dirent* Entry = readdir(Dir)) {
    pid_t Process = 0;
    const auto Id = platform::posix::ChannelIdOfName(Entry->d_name, &Process);
    if (!Id) continue;
    const std::string Path = *Folder + "/" + Entry->d_name;
    if (ProcessGone(Process)) {
      unlink(Path.c_str());  // left by a process that ended without closing it
      continue;
    }
    Result.push_back({*Id, Process, 0, Path});
  }
  closedir(Dir);
  std::sort(Result.begin(), Result.end(), [](const TReader& A, const TReader& B) {
    return A.Process != B.Process ? A.Process < B.Process : A.Id.size() != B.Id.size() ? A.Id.size() < B.Id.size() : A.Id < B.Id;
  });
  return Result;
}

TExchange Exchange(const TReader& AReader, const std::string& ACommand, std::chrono::milliseconds ATimeout,
                   const std::function<void()>& AWhileWaiting) {
  TExchange Result;
  const auto Deadline = TClock::now() + ATimeout;
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  if (AReader.Path.size() >= sizeof(Address.sun_path)) return Result;
  std::memcpy(Address.sun_path, AReader.Path.c_str(), AReader.Path.size() + 1);
  TSocket Socket;
  Socket.Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (Socket.Fd < 0) return Result;
  if (connect(Socket.Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)) != 0) {
    if (errno != EINPROGRESS && errno != EAGAIN) return Result;
    if (!WaitFor(Socket.Fd, POLLOUT, Deadline, AWhileWaiting)) {
      Result.Status = TExchangeStatus::esTimeout;
      return Result;
    }
  }
  const std::string Line = ACommand + "\n";
  std::size_t Sent = 0;
  while (Sent < Line.size()) {
    const ssize_t N = send(Socket.Fd, Line.data() + Sent, Line.size() - Sent, MSG_NOSIGNAL);
    if (N > 0) {
      Sent += static_cast<std::size_t>(N);
      continue;
    }
    if (N < 0 && errno != EAGAIN && errno != EINTR) return Result;
    if (!WaitFor(Socket.Fd, POLLOUT, Deadline, AWhileWaiting)) {
      Result.Status = TExchangeStatus::esTimeout;
      return Result;
    }
  }
  std::string Received;
  for (;;) {
    if (!WaitFor(Socket.Fd, POLLIN, Deadline, AWhileWaiting)) {
      Result.Status = TExchangeStatus::esTimeout;
      return Result;
    }
    char Buffer[4096];
    const ssize_t N = recv(Socket.Fd, Buffer, sizeof(Buffer), 0);
    if (N < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (N <= 0) return Result;  // closed without an answer
    Received.append(Buffer, static_cast<std::size_t>(N));
    const auto End = Received.find('\n');
    if (End != std::string::npos) {
      Result.Status = TExchangeStatus::esOk;
      Result.Answer = Received.substr(0, End);
      return Result;
    }
    if (Received.size() > kFieldAnswerLimit) return Result;
  }
}

}  // namespace quorvel_tags
