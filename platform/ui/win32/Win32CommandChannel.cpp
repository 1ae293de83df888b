// The command channel of a form on Windows: WM_COPYDATA to the form's own
// window, taken by a subclass of that window, so the command runs in the
// thread's message processing like the window's input. The system copies
// the command whole before the window sees it; the answer goes back with a
// bounded wait to the client's window, which is blocked in its send and so
// takes it at once.
#include "platform/ui/win32/Win32Ui.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/ui/CommandChannel.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/win32/CommandChannelWire.h"
#include "platform/win32/ProcessUser.h"

namespace platform::ui {

namespace {

using namespace platform::win32;

constexpr UINT_PTR kSubclassId = 0x51565431;

std::atomic<unsigned> GChannelNumber{0};

class TWin32CommandChannel final : public TCommandChannel {
public:
  TWin32CommandChannel(HWND AWindow, unsigned ANumber, TCommandLimits ALimits, TCommandHandler AHandler)
      : FWindow(AWindow),
        FId(std::to_string(GetCurrentProcessId()) + "-" + std::to_string(ANumber)),
        FLimits(std::move(ALimits)),
        FHandler(std::move(AHandler)) {}

  bool Attach(unsigned ANumber) noexcept {
    if (!SetWindowSubclass(FWindow, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    FAttached = true;
    return SetPropW(FWindow, kCommandChannelProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(ANumber))) != FALSE;
  }

  ~TWin32CommandChannel() override {
    RemovePropW(FWindow, kCommandChannelProperty);
    if (FAttached) RemoveWindowSubclass(FWindow, &SubclassProc, kSubclassId);
  }

  const std::string& Id() const noexcept override { return FId; }

private:
  static LRESULT CALLBACK SubclassProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam, UINT_PTR,
                                       DWORD_PTR AData) noexcept {
    if (AMsg == WM_COPYDATA && ALParam != 0) {
      const auto& Data = *reinterpret_cast<const COPYDATASTRUCT*>(ALParam);
      if (Data.dwData == kCommandChannelMagic)
        return reinterpret_cast<TWin32CommandChannel*>(AData)->Serve(reinterpret_cast<HWND>(AWParam), Data);
    }
    return DefSubclassProc(AWnd, AMsg, AWParam, ALParam);
  }

  // Only programs of the user this window's process runs as may present or
  // clear tags: any process of the desktop can send the message, one
  // started as another user (runas) too. The sender names its window; that
  // window's process must run as this user, or nothing is done.
  static bool ClientOfThisUser(HWND AClient) noexcept {
    DWORD Process = 0;
    return IsWindow(AClient) && GetWindowThreadProcessId(AClient, &Process) != 0 && ProcessRunsAsThisUser(Process);
  }

  LRESULT Serve(HWND AClient, const COPYDATASTRUCT& AData) noexcept {
    if (!ClientOfThisUser(AClient)) return 0;
    try {
      // One byte past the limit is enough to refuse a longer command.
      const std::string_view Start(AData.cbData == 0 ? "" : static_cast<const char*>(AData.lpData),
                                   std::min<std::size_t>(AData.cbData, FLimits.LongPrefix.size()));
      const std::size_t Size = std::min<std::size_t>(AData.cbData, CommandLimit(FLimits, Start) + 1);
      const std::string Command(Size == 0 ? "" : static_cast<const char*>(AData.lpData), Size);
      Answer(AClient, FHandler(Command));
    } catch (...) {
      // Without memory for the command there is no answer either.
    }
    return static_cast<LRESULT>(kCommandChannelMagic);
  }

  void Answer(HWND AClient, const std::string& AText) const noexcept {
    wchar_t Class[64] = {};
    if (!IsWindow(AClient) || GetClassNameW(AClient, Class, 64) == 0 || std::wstring_view(Class) != kCommandReplyClass)
      return;
    COPYDATASTRUCT Data{};
    Data.dwData = kCommandChannelMagic;
    Data.cbData = static_cast<DWORD>(AText.size());
    Data.lpData = const_cast<char*>(AText.data());
    DWORD_PTR Result = 0;
    SendMessageTimeoutW(AClient, WM_COPYDATA, reinterpret_cast<WPARAM>(FWindow), reinterpret_cast<LPARAM>(&Data),
                        SMTO_ABORTIFHUNG | SMTO_BLOCK, kCommandReplyTimeoutMs, &Result);
  }

  HWND FWindow;
  std::string FId;
  TCommandLimits FLimits;
  TCommandHandler FHandler;
  bool FAttached = false;
};

}  // namespace

std::unique_ptr<TCommandChannel> OpenCommandChannel(TForm& AForm, TCommandLimits ALimits,
                                                    TCommandHandler AHandler) noexcept {
  try {
    auto* Window = static_cast<HWND>(AForm.Native().Handle());
    if (!Window) return nullptr;
    const unsigned Number = ++GChannelNumber;
    auto Channel = std::make_unique<TWin32CommandChannel>(Window, Number, std::move(ALimits), std::move(AHandler));
    if (!Channel->Attach(Number)) return nullptr;
    return Channel;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace platform::ui
