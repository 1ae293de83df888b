// The log viewer as the Windows window system sees it: real controls, the
// modal message loop and the window timer. Needs a display (Xvfb under Wine).
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/Exception.h"
#include "common/ufmLog.h"
#include "platform/ui/Native.h"

namespace fs = std::filesystem;

namespace {

std::u16string WindowText(HWND AWnd) {
  std::u16string Text(static_cast<std::size_t>(GetWindowTextLengthW(AWnd)) + 1, u'\0');
  GetWindowTextW(AWnd, reinterpret_cast<wchar_t*>(Text.data()), static_cast<int>(Text.size()));
  Text.pop_back();
  return Text;
}

// The modal test appends a line to the shown file, waits until the viewer's
// text box shows it and then asks the viewer to close. Should that not
// happen, the safety net closes the viewer (and ends the modal loop) after
// kSafetyNetMs, and the test fails.
constexpr UINT kSafetyNetMs = 20000;
HWND GClosingForm = nullptr;
HWND GMemo = nullptr;
fs::path GGrowingFile;
bool GSafetyNetFired = false;
UINT_PTR GPollTimer = 0;

void CALLBACK CloseOnceShown(HWND, UINT, UINT_PTR AId, DWORD) {
  if (WindowText(GMemo).find(u"line 3") == std::u16string::npos) return;
  KillTimer(nullptr, AId);
  PostMessageW(GClosingForm, WM_CLOSE, 0, 0);
}

void CALLBACK GrowFile(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  std::ofstream(GGrowingFile, std::ios::binary | std::ios::app) << "line 3\n";
  fs::last_write_time(GGrowingFile, fs::last_write_time(GGrowingFile) + std::chrono::seconds(5));
  GPollTimer = SetTimer(nullptr, 0, 50, &CloseOnceShown);
}

void CALLBACK SafetyNet(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  GSafetyNetFired = true;
  PostMessageW(GClosingForm, WM_CLOSE, 0, 0);
  PostQuitMessage(0);
}

class Win32LogViewer : public ::testing::Test {
protected:
  void SetUp() override {
    FFolder = fs::temp_directory_path() / ("quorvel-viewer-" + std::to_string(GetTickCount()));
    fs::create_directories(FFolder);
    std::ofstream(FFolder / "a_2026.12.06.log", std::ios::binary) << "sixth\n";
    std::ofstream(FFolder / "a_2026.12.07.log", std::ios::binary) << "line 1\nline 2\n";
    const std::u16string Folder = FFolder.u16string() + u"\\";
    FViewer = std::make_unique<TfrmLog>([Folder] { return Folder; });
  }
  void TearDown() override {
    FViewer.reset();
    std::error_code Ignored;
    fs::remove_all(FFolder, Ignored);
  }
  HWND Handle(const platform::ui::TControl& AControl) const {
    return static_cast<HWND>(FViewer->Form().Native().ControlHandle(AControl));
  }
  HWND FormHandle() const { return static_cast<HWND>(FViewer->Form().Native().Handle()); }

  fs::path FFolder;
  std::unique_ptr<TfrmLog> FViewer;
};

TEST_F(Win32LogViewer, ShowsTheNewestFileInRealControls) {
  HWND Form = FormHandle();
  EXPECT_EQ(WindowText(Form), u"Просмотр лога");
  EXPECT_TRUE(GetWindowLongPtrW(Form, GWL_STYLE) & WS_SYSMENU);
  EXPECT_FALSE(IsWindowVisible(Form));
  HWND Files = Handle(FViewer->cbbLogFiles());
  HWND Encoding = Handle(FViewer->cbbEncoding());
  HWND Memo = Handle(FViewer->mmoLog());
  HWND Button = Handle(FViewer->btnOpenDir());
  ASSERT_TRUE(Files && Encoding && Memo && Button);
  EXPECT_EQ(SendMessageW(Files, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(Files, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageW(Encoding, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(WindowText(Memo), u"line 1\r\nline 2\r\n");
  EXPECT_TRUE(GetWindowLongPtrW(Memo, GWL_STYLE) & ES_READONLY);
  EXPECT_NE(SendMessageW(Button, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

  // The memo fills the client area below the panel.
  RECT Client{}, MemoRect{};
  GetClientRect(Form, &Client);
  GetWindowRect(Memo, &MemoRect);
  EXPECT_EQ(MemoRect.right - MemoRect.left, Client.right);
  EXPECT_GT(MemoRect.bottom - MemoRect.top, Client.bottom / 2);

  // Picking the other file through the list's notification loads it.
  SendMessageW(Files, CB_SETCURSEL, 0, 0);
  SendMessageW(Form, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Files), CBN_SELCHANGE), reinterpret_cast<LPARAM>(Files));
  EXPECT_EQ(FViewer->cbbLogFiles().Text(), u"a_2026.12.06.log");
  EXPECT_EQ(WindowText(Memo), u"sixth\r\n");
}

TEST_F(Win32LogViewer, ModalLoopFollowsAGrowingFileAndEndsOnACloseRequest) {
  HWND Memo = Handle(FViewer->mmoLog());
  SendMessageW(Memo, EM_SETSEL, 8, 8);
  GClosingForm = FormHandle();
  GMemo = Memo;
  GGrowingFile = FFolder / "a_2026.12.07.log";
  GSafetyNetFired = false;
  GPollTimer = 0;
  const UINT_PTR Grow = SetTimer(nullptr, 0, 300, &GrowFile);
  const UINT_PTR Net = SetTimer(nullptr, 0, kSafetyNetMs, &SafetyNet);
  FViewer->ShowModal();
  for (const UINT_PTR Timer : {Grow, Net, GPollTimer}) KillTimer(nullptr, Timer);
  MSG Quit;
  while (PeekMessageW(&Quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  EXPECT_FALSE(GSafetyNetFired) << "the viewer did not show the grown file and close within " << kSafetyNetMs << " ms";
  EXPECT_FALSE(IsWindowVisible(FormHandle()));
  EXPECT_EQ(WindowText(Memo), u"line 1\r\nline 2\r\nline 3\r\n");
  DWORD Start = 0;
  SendMessageW(Memo, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
  EXPECT_EQ(Start, 8u);
}

TEST_F(Win32LogViewer, AFileHeldByAWriterFailsToLoadAndTheTextStays) {
  const auto Path = FFolder / "a_2026.12.06.log";
  HANDLE Writer = CreateFileW(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(Writer, INVALID_HANDLE_VALUE);
  EXPECT_THROW(FViewer->cbbLogFiles().Select(0), Exception);
  CloseHandle(Writer);
  EXPECT_EQ(FViewer->mmoLog().Text(), u"line 1\nline 2\n");
  EXPECT_EQ(FViewer->mmoLog().UpdateCount(), 0);
  // Once the writer is gone the file loads.
  FViewer->cbbLogFiles().Select(0);
  EXPECT_EQ(FViewer->mmoLog().Text(), u"sixth\n");
}

}  // namespace
