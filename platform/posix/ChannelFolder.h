#pragma once
// Where the command channels of this user's tag windows live (Linux): one
// Unix socket per window, named "<process id>-<number>-<random>.sock", in a
// folder that only the user can enter: $XDG_RUNTIME_DIR/quorvel, or, where
// the session has no usable runtime folder, quorvel-<host name> in the
// user's cache folder ($XDG_CACHE_HOME, else ~/.cache). A folder in /tmp
// would be another user's to take first.
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform::posix {

// The folder, made (mode 0700) when ACreate; nothing when it is missing, or
// is not a folder of this user that only this user can enter.
std::optional<std::string> ChannelFolder(bool ACreate);

// A new socket name for the window numbered ANumber in AProcess. Every call
// draws a new random part: two copies of the library in one process count
// their windows each from 1.
std::string ChannelSocketName(pid_t AProcess, unsigned ANumber);
// The id (the name without ".sock") of a socket's file name, or nothing for
// a name of another kind.
std::optional<std::string> ChannelIdOfName(std::string_view AName, pid_t* AProcess = nullptr);

}  // namespace platform::posix
