#pragma once
// What a command channel's client and its window agree on (Windows): the
// client finds the windows that take commands among the top-level windows of
// the form class with the channel property (its value is the channel's
// number), sends a command as WM_COPYDATA (dwData kCommandChannelMagic,
// wParam its own window, which has the class kCommandReplyClass) and gets
// the answer as WM_COPYDATA to that window (wParam the channel's window)
// while its send is still under way. The window answers the send itself with
// kCommandChannelMagic, or with 0 when it refuses the command: the window
// named by wParam must belong to a process of the window's own user.
#include <cstdint>

namespace platform::win32 {

inline constexpr wchar_t kFormWindowClass[] = L"QuorvelForm";
inline constexpr wchar_t kCommandChannelProperty[] = L"QuorvelCommandChannel";
inline constexpr wchar_t kCommandReplyClass[] = L"QuorvelCommandReply";
inline constexpr std::uint32_t kCommandChannelMagic = 0x51565431;  // "QVT1"
// How long a window waits for the client to take its answer.
inline constexpr unsigned kCommandReplyTimeoutMs = 1000;

}  // namespace platform::win32
