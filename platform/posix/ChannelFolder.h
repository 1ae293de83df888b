#pragma once
// Where the command channels of this user's tag windows live (Linux): one
// Unix socket per window, named "<process id>-<number>.sock", in a folder
// that only the user can enter: $XDG_RUNTIME_DIR/quorvel, or
// /tmp/quorvel-<uid> where the session has no runtime folder.
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform::posix {

// The folder, made (mode 0700) when ACreate; nothing when it is missing, or
// is not a folder of this user that only this user can enter.
std::optional<std::string> ChannelFolder(bool ACreate);

std::string ChannelSocketName(pid_t AProcess, unsigned ANumber);
// The id "<process id>-<number>" of a socket's file name, or nothing for a
// name of another kind.
std::optional<std::string> ChannelIdOfName(std::string_view AName, pid_t* AProcess = nullptr);

}  // namespace platform::posix
