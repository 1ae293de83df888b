#pragma once
// The client side of the tag windows' command channels: finds this user's
// open readers and exchanges one command with one of them.
//   Windows: top-level windows of the add-in's form class that carry the
//     channel property, on this desktop (platform/win32/CommandChannelWire.h).
//   Linux: the sockets in the user's channel folder
//     (platform/posix/ChannelFolder.h); sockets left by processes that are
//     gone are removed on the way.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel_tags {

struct TReader {
  std::string Id;        // "<process id>-<number>" (Linux: "-<random>" follows)
  long long Process = 0;
  std::uintptr_t Window = 0;  // Windows: the tag window
  std::string Path;           // Linux: the socket
};

std::vector<TReader> FindReaders();
// The id of the calling process, as readers report theirs.
long long CurrentProcess() noexcept;

enum class TExchangeStatus { esOk, esTimeout, esFailed };

struct TExchange {
  TExchangeStatus Status = TExchangeStatus::esFailed;
  std::string Answer;  // esOk: the answer line, without framing
};

// Sends ACommand and waits at most ATimeout for the answer. AWhileWaiting,
// when given, runs every few milliseconds meanwhile (a caller that serves
// the reader on its own thread processes its messages there).
TExchange Exchange(const TReader& AReader, const std::string& ACommand, std::chrono::milliseconds ATimeout,
                   const std::function<void()>& AWhileWaiting = {});

}  // namespace quorvel_tags
