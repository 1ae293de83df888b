// The log viewer as a user meets it: a modal window whose handler errors
// end up in message boxes, and a folder button.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>

#include "common/Exception.h"
#include "common/ufmLog.h"
#include "platform/ui/posix/Headless.h"

namespace fs = std::filesystem;
namespace headless = platform::ui::headless;

namespace {

struct ModalHandler {
  explicit ModalHandler(headless::TModalHandler AHandler) : Previous(headless::SetModalHandler(std::move(AHandler))) {}
  ~ModalHandler() { headless::SetModalHandler(std::move(Previous)); }
  headless::TModalHandler Previous;
};

TEST(LogViewerWindow, ErrorsOfHandlersAreShownAndTheWindowStaysOpen) {
  headless::TakeErrorMessages();
  // A folder of this process's own: another run's files would be listed too.
  const auto Folder = fs::temp_directory_path() / ("quorvel-logviewer-modal-" + std::to_string(getpid()));
  fs::remove_all(Folder);
  fs::create_directories(Folder);
  std::ofstream(Folder / "a.log") << "text\n";
  const std::u16string FolderText = Folder.u16string() + u"/";

  TfrmLog Viewer([&] { return FolderText; });
  EXPECT_EQ(Viewer.Form().Design().Caption, u"Просмотр лога");
  EXPECT_EQ(Viewer.cbbEncoding().Items(), (std::vector<std::u16string>{u"UTF-8", u"ANSI", u"OEM"}));
  ASSERT_NE(Viewer.btnOpenDir().Glyph(), nullptr);
  EXPECT_EQ(Viewer.btnOpenDir().Glyph()->Width(), 16);

  int Shown = 0;
  ModalHandler Modal([&](platform::ui::TForm& AForm) {
    ++Shown;
    EXPECT_TRUE(AForm.Visible());
    fs::remove(Folder / "a.log");
    Viewer.cbbLogFiles().Select(0);  // raises: the file is gone
    AForm.CloseRequested();
  });
  // A handler called by the framework reports through a message box.
  platform::ui::RunHandler(&Viewer.Form(), [&] { Viewer.ShowModal(); });
  EXPECT_EQ(Shown, 1);
  const auto Errors = headless::TakeErrorMessages();
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_NE(Errors[0].find(u"a.log"), std::u16string::npos);
  EXPECT_FALSE(Viewer.Form().Visible());

  Viewer.btnOpenDir().Click();
  EXPECT_EQ(headless::TakeExploredFolders(), std::vector<std::u16string>{FolderText});
  fs::remove_all(Folder);
}

// Another user's FIFO named to sort last is the file the window opens on.
// Opening it for reading waits for a writer: should the window wait, a
// writer comes after a while to end the wait, and the test fails instead of
// hanging.
TEST(LogViewerWindow, AFifoNamedLikeTheNewestLogIsShownAsAnErrorWithoutWaiting) {
  headless::TakeErrorMessages();
  const auto Folder = fs::temp_directory_path() / ("quorvel-logviewer-fifo-" + std::to_string(getpid()));
  fs::remove_all(Folder);
  fs::create_directories(Folder);
  std::ofstream(Folder / "a.log") << "text\n";
  ASSERT_EQ(mkfifo((Folder / "zzz.log").c_str(), 0666), 0);
  std::promise<void> Opened;
  bool Rescued = false;
  std::thread Rescuer([&, Done = Opened.get_future()] {
    if (Done.wait_for(std::chrono::seconds(3)) == std::future_status::ready) return;
    Rescued = true;
    close(open((Folder / "zzz.log").c_str(), O_RDWR | O_CLOEXEC));
  });
  {
    TfrmLog Viewer([&] { return Folder.u16string() + u"/"; });
    Opened.set_value();
    Rescuer.join();
    EXPECT_FALSE(Rescued) << "the window waited on the FIFO";
    EXPECT_EQ(Viewer.cbbLogFiles().Text(), u"zzz.log");
    const std::u16string Text = Viewer.mmoLog().Text();
    EXPECT_NE(Text.find(u"zzz.log\": it is not a plain file"), std::u16string::npos) << Viewer.mmoLog().Text().size();
    EXPECT_TRUE(headless::TakeErrorMessages().empty());
  }
  fs::remove_all(Folder);
}

TEST(LogViewerWindow, AFailingFormCreateIsShownAndTheWindowOpensAllTheSame) {
  headless::TakeErrorMessages();
  TfrmLog Viewer([]() -> std::u16string { throw Exception(u"Cannot create the log folder"); });
  EXPECT_EQ(headless::TakeErrorMessages(), std::vector<std::u16string>{u"Cannot create the log folder"});
  bool Shown = false;
  ModalHandler Modal([&](platform::ui::TForm& AForm) {
    Shown = true;
    AForm.CloseRequested();
  });
  Viewer.ShowModal();
  EXPECT_TRUE(Shown);
}

}  // namespace
