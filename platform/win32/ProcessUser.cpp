#include "platform/win32/ProcessUser.h"

#include <memory>
#include <vector>

namespace platform::win32 {

namespace {

struct THandleCloser {
  void operator()(HANDLE AHandle) const noexcept { CloseHandle(AHandle); }
};
using THandle = std::unique_ptr<void, THandleCloser>;

// The TOKEN_USER block of AProcess's token, empty when it cannot be read.
std::vector<unsigned char> TokenUserOf(HANDLE AProcess) {
  HANDLE RawToken = nullptr;
  if (!OpenProcessToken(AProcess, TOKEN_QUERY, &RawToken)) return {};
  const THandle Token(RawToken);
  DWORD Size = 0;
  GetTokenInformation(Token.get(), TokenUser, nullptr, 0, &Size);
  if (Size < sizeof(TOKEN_USER)) return {};
  std::vector<unsigned char> Block(Size);
  if (!GetTokenInformation(Token.get(), TokenUser, Block.data(), Size, &Size)) return {};
  return Block;
}

}  // namespace

bool ProcessRunsAs(DWORD AProcessId, PSID AUser) noexcept {
  try {
    const THandle Process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, AProcessId));
    if (!Process) return false;
    const std::vector<unsigned char> Block = TokenUserOf(Process.get());
    if (Block.empty() || AUser == nullptr || !IsValidSid(AUser)) return false;
    const PSID User = reinterpret_cast<const TOKEN_USER*>(Block.data())->User.Sid;
    return IsValidSid(User) && EqualSid(User, AUser);
  } catch (...) {
    return false;
  }
}

bool ProcessRunsAsThisUser(DWORD AProcessId) noexcept {
  try {
    const std::vector<unsigned char> Own = TokenUserOf(GetCurrentProcess());
    if (Own.empty()) return false;
    return ProcessRunsAs(AProcessId, reinterpret_cast<const TOKEN_USER*>(Own.data())->User.Sid);
  } catch (...) {
    return false;
  }
}

}  // namespace platform::win32
