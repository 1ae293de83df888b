// The tag window's command channel on Windows: WM_COPYDATA to the window,
// found by its class and property, answered to the client's window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/win32/CommandChannelWire.h"
#include "platform/win32/ProcessUser.h"
#include "quorvel-tags/TagClient.h"
#include "rfid/ufmBarcodes.h"

using namespace std::chrono_literals;

namespace {

const quorvel_tags::TReader* Find(const std::vector<quorvel_tags::TReader>& AReaders, const std::string& AId) {
  const auto Found = std::find_if(AReaders.begin(), AReaders.end(), [&](const auto& R) { return R.Id == AId; });
  return Found == AReaders.end() ? nullptr : &*Found;
}

}  // namespace

TEST(Win32CommandChannel, TakesCommandsAsCopyDataAndGoesWithTheWindow) {
  std::string Id;
  {
    TfmBarcodes Window;
    std::vector<std::intptr_t> Reported;
    Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
    ASSERT_NE(Window.Channel(), nullptr);
    Id = Window.Channel()->Id();
    const auto Readers = quorvel_tags::FindReaders();
    const auto* Reader = Find(Readers, Id);
    ASSERT_NE(Reader, nullptr);
    EXPECT_EQ(Reader->Window, reinterpret_cast<std::uintptr_t>(Window.Form().Native().Handle()));

    const auto Reply = quorvel_tags::Exchange(*Reader, "quorvel-tags/1 present 4 2", 2s);
    ASSERT_EQ(Reply.Status, quorvel_tags::TExchangeStatus::esOk);
    EXPECT_EQ(Reply.Answer, "quorvel-tags/1 ok shown=0 field=");
    const auto Long = quorvel_tags::Exchange(*Reader, std::string(5000, '1'), 2s);
    EXPECT_EQ(Long.Answer, "quorvel-tags/1 error length");
    EXPECT_EQ(Reported, (std::vector<std::intptr_t>{3, 1}));

    // A WM_COPYDATA of another kind is none of the channel's business.
    char Data[] = "quorvel-tags/1 present 1";
    COPYDATASTRUCT Foreign{42, sizeof(Data) - 1, Data};
    EXPECT_EQ(SendMessageW(static_cast<HWND>(Window.Form().Native().Handle()), WM_COPYDATA, 0,
                           reinterpret_cast<LPARAM>(&Foreign)),
              0);
    EXPECT_EQ(Reported.size(), 2u);
  }
  EXPECT_EQ(Find(quorvel_tags::FindReaders(), Id), nullptr);
}

// A sender must name a window of a process of this user; one that names
// none (or a window of another user's process) changes nothing.
TEST(Win32CommandChannel, RefusesASenderWithoutAWindowOfThisUser) {
  TfmBarcodes Window;
  std::vector<std::intptr_t> Reported;
  Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
  char Data[] = "quorvel-tags/1 present 1";
  COPYDATASTRUCT Command{platform::win32::kCommandChannelMagic, sizeof(Data) - 1, Data};
  EXPECT_EQ(SendMessageW(static_cast<HWND>(Window.Form().Native().Handle()), WM_COPYDATA, 0,
                         reinterpret_cast<LPARAM>(&Command)),
            0);
  EXPECT_TRUE(Reported.empty());
}

TEST(ProcessUser, TellsThisUserFromAnother) {
  EXPECT_TRUE(platform::win32::ProcessRunsAsThisUser(GetCurrentProcessId()));
  // The local system account (S-1-5-18) is not the user the tests run as.
  SID_IDENTIFIER_AUTHORITY Nt = SECURITY_NT_AUTHORITY;
  PSID System = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&Nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &System));
  EXPECT_FALSE(platform::win32::ProcessRunsAs(GetCurrentProcessId(), System));
  FreeSid(System);
  // Process ids are multiples of four: no process has this one.
  EXPECT_FALSE(platform::win32::ProcessRunsAsThisUser(0xFFFFFFF1));
}
