#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/win32/CommandChannelWire.h"
#include "quorvel-tags/TagClient.h"
#include "rfid/FieldCommand.h"

namespace quorvel_tags {

namespace {

using namespace platform::win32;

BOOL CALLBACK CollectReader(HWND AWnd, LPARAM AData) noexcept {
  auto& Readers = *reinterpret_cast<std::vector<TReader>*>(AData);
  wchar_t Class[64] = {};
  if (GetClassNameW(AWnd, Class, 64) == 0 || std::wstring_view(Class) != kFormWindowClass) return TRUE;
  const auto Number = reinterpret_cast<UINT_PTR>(GetPropW(AWnd, kCommandChannelProperty));
  if (Number == 0) return TRUE;
  DWORD Process = 0;
  GetWindowThreadProcessId(AWnd, &Process);
  try {
    Readers.push_back({std::to_string(Process) + "-" + std::to_string(Number), Process,
                       reinterpret_cast<std::uintptr_t>(AWnd), {}});
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

// The window that takes the answer: a message-only window of this thread.
struct TReplyWindow {
  HWND Handle = nullptr;
  HWND From = nullptr;
  bool Answered = false;
  std::string Answer;

  static LRESULT CALLBACK WndProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) noexcept {
    auto* Self = reinterpret_cast<TReplyWindow*>(GetWindowLongPtrW(AWnd, GWLP_USERDATA));
    if (AMsg == WM_COPYDATA && Self && ALParam != 0) {
      const auto& Data = *reinterpret_cast<const COPYDATASTRUCT*>(ALParam);
      if (Data.dwData != kCommandChannelMagic || reinterpret_cast<HWND>(AWParam) != Self->From || Self->Answered ||
          Data.cbData > kFieldAnswerLimit)
        return FALSE;
      try {
        Self->Answer.assign(static_cast<const char*>(Data.lpData), Data.cbData);
        Self->Answered = true;
      } catch (...) {
        return FALSE;
      }
      return TRUE;
    }
    return DefWindowProcW(AWnd, AMsg, AWParam, ALParam);
  }

  explicit TReplyWindow(HWND AFrom) : From(AFrom) {
    static const ATOM Class = [] {
      WNDCLASSEXW C{};
      C.cbSize = sizeof(C);
      C.lpfnWndProc = &WndProc;
      C.hInstance = GetModuleHandleW(nullptr);
      C.lpszClassName = kCommandReplyClass;
      return RegisterClassExW(&C);
    }();
    if (Class == 0) return;
    Handle = CreateWindowExW(0, kCommandReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (Handle) SetWindowLongPtrW(Handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TReplyWindow() {
    if (Handle) DestroyWindow(Handle);
  }
};

}  // namespace

long long CurrentProcess() noexcept { return GetCurrentProcessId(); }

std::vector<TReader> FindReaders() {
  std::vector<TReader> Result;
  EnumWindows(&CollectReader, reinterpret_cast<LPARAM>(&Result));
  std::sort(Result.begin(), Result.end(), [](const TReader& A, const TReader& B) { return A.Window < B.Window; });
  std::stable_sort(Result.begin(), Result.end(),
                   [](const TReader& A, const TReader& B) { return A.Process < B.Process; });
  return Result;
}

TExchange Exchange(const TReader& AReader, const std::string& ACommand, std::chrono::milliseconds ATimeout,
                   const std::function<void()>&) {
  TExchange Result;
  const auto Target = reinterpret_cast<HWND>(AReader.Window);
  TReplyWindow Reply(Target);
  if (!Reply.Handle) return Result;
  COPYDATASTRUCT Data{};
  Data.dwData = kCommandChannelMagic;
  Data.cbData = static_cast<DWORD>(ACommand.size());
  Data.lpData = const_cast<char*>(ACommand.data());
  DWORD_PTR Handled = 0;
  // The window answers while this send is under way; a window of this very
  // thread (v8host's own) is called directly.
  const LRESULT Sent = SendMessageTimeoutW(Target, WM_COPYDATA, reinterpret_cast<WPARAM>(Reply.Handle),
                                           reinterpret_cast<LPARAM>(&Data), SMTO_ABORTIFHUNG,
                                           static_cast<UINT>(ATimeout.count()), &Handled);
  if (Sent == 0) {
    const DWORD Error = GetLastError();
    Result.Status = Error == ERROR_TIMEOUT || Error == 0 ? TExchangeStatus::esTimeout : TExchangeStatus::esFailed;
    if (!IsWindow(Target)) Result.Status = TExchangeStatus::esFailed;
    return Result;
  }
  if (Handled != kCommandChannelMagic || !Reply.Answered) return Result;
  Result.Status = TExchangeStatus::esOk;
  Result.Answer = std::move(Reply.Answer);
  return Result;
}

}  // namespace quorvel_tags
