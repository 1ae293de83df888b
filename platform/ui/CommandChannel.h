#pragma once
// A channel through which other programs of the same user send one-line
// text commands to a form and get one-line answers. The commands are served
// by the form's own message processing, on the thread that owns the form,
// like its input; a client that is slow, silent or sends half a command
// never holds that thread up.
//   Windows: WM_COPYDATA to the form's window, which carries the window
//     property kCommandChannelProperty (platform/win32/CommandChannelWire.h);
//     the answer comes back as WM_COPYDATA to the client's window.
//   Elsewhere: a Unix socket of its own in a folder only the user can enter
//     (platform/posix/ChannelFolder.h), served through WatchReadable.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform::ui {

class TForm;

class TCommandChannel {
public:
  TCommandChannel() = default;
  TCommandChannel(const TCommandChannel&) = delete;
  TCommandChannel& operator=(const TCommandChannel&) = delete;
  // Closes the channel: clients no longer find it.
  virtual ~TCommandChannel() = default;
  // How clients name this channel: "<process id>-<number>".
  virtual const std::string& Id() const noexcept = 0;
};

// Runs one command (at most the limit's bytes, without framing) and gives
// the answer; must not throw.
using TCommandHandler = std::function<std::string(std::string_view ACommand)>;

// How long a command may be: Max bytes, or LongMax for a command that
// begins with LongPrefix (a newer protocol's longer lines), so that an
// over-long line of the older kind is still refused as soon as it is seen.
struct TCommandLimits {
  std::size_t Max = 0;
  std::string LongPrefix;
  std::size_t LongMax = 0;
};

// The limit for a command of which AStart has arrived so far.
inline std::size_t CommandLimit(const TCommandLimits& ALimits, std::string_view AStart) noexcept {
  if (ALimits.LongPrefix.empty() || ALimits.LongMax <= ALimits.Max) return ALimits.Max;
  const std::string_view Prefix = ALimits.LongPrefix;
  const std::size_t Common = AStart.size() < Prefix.size() ? AStart.size() : Prefix.size();
  return AStart.substr(0, Common) == Prefix.substr(0, Common) ? ALimits.LongMax : ALimits.Max;
}

// Opens the channel of AForm; nothing when the system refuses one (the form
// works on without it). AHandler is called only while the channel lives.
std::unique_ptr<TCommandChannel> OpenCommandChannel(TForm& AForm, TCommandLimits ALimits,
                                                    TCommandHandler AHandler) noexcept;

}  // namespace platform::ui
