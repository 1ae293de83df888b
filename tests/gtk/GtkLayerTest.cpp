// The GTK window layer where no display exists, and its descriptor watches
// (sources of GLib's default main context, which need no display either).
#include <gtest/gtest.h>

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "platform/ui/CommandChannel.h"
#include "platform/ui/FdWatch.h"
#include "platform/ui/Form.h"
#include "platform/ui/gtk/GtkKeys.h"
#include "platform/ui/gtk/GtkWebKit.h"
#include "rfid/ufmBarcodes.h"

namespace {

struct TPipe {
  int Read = -1;
  int Write = -1;
  TPipe() {
    int Fds[2];
    if (pipe(Fds) == 0) {
      Read = Fds[0];
      Write = Fds[1];
    }
  }
  ~TPipe() {
    if (Read >= 0) close(Read);
    if (Write >= 0) close(Write);
  }
};

TEST(GtkLayerWithoutDisplay, TagWindowIsCreatedButShowFailsClearlyAndStaysHidden) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "run without DISPLAY";
  TfmBarcodes Window;
  for (int Attempt = 0; Attempt < 2; ++Attempt) {
    try {
      Window.Show();
      FAIL() << "a window cannot be shown without a display";
    } catch (const Exception& E) {
      EXPECT_NE(std::string(E.what()).find("no graphical display is available"), std::string::npos) << E.what();
    }
    EXPECT_FALSE(Window.Form().Visible());
  }
}

TEST(GtkLayerFdWatch, CallbackRunsFromTheEventProcessingWhileTheWatchLives) {
  TPipe Pipe;
  ASSERT_GE(Pipe.Read, 0);
  int Calls = 0;
  auto Watch = platform::ui::WatchReadable(Pipe.Read, [&] {
    ++Calls;
    char Byte;
    (void)read(Pipe.Read, &Byte, 1);
  });
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 0);  // nothing to read yet
  ASSERT_EQ(write(Pipe.Write, "x", 1), 1);
  EXPECT_EQ(Calls, 0);  // only the event processing runs it
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 1);
  Watch.reset();
  ASSERT_EQ(write(Pipe.Write, "y", 1), 1);
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 1);  // ended with the watch
}

TEST(GtkLayerFdWatch, HangUpOfThePeerIsReported) {
  TPipe Pipe;
  bool Called = false;
  auto Watch = platform::ui::WatchReadable(Pipe.Read, [&] { Called = true; });
  close(Pipe.Write);
  Pipe.Write = -1;
  platform::ui::ProcessMessages();
  EXPECT_TRUE(Called);
}

// The process's descriptor table filled up to a lowered limit, as long as
// the object lives.
class TDescriptorsExhausted {
public:
  TDescriptorsExhausted() {
    getrlimit(RLIMIT_NOFILE, &FSaved);
    int Highest = 0;
    for (const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd"))
      Highest = std::max(Highest, std::atoi(Entry.path().filename().c_str()));
    rlimit Lowered = FSaved;
    Lowered.rlim_cur = static_cast<rlim_t>(Highest + 16);
    setrlimit(RLIMIT_NOFILE, &Lowered);
    for (int Fd; (Fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) FFillers.push_back(Fd);
  }
  ~TDescriptorsExhausted() {
    for (const int Fd : FFillers) close(Fd);
    setrlimit(RLIMIT_NOFILE, &FSaved);
  }
  TDescriptorsExhausted(const TDescriptorsExhausted&) = delete;
  TDescriptorsExhausted& operator=(const TDescriptorsExhausted&) = delete;

private:
  rlimit FSaved{};
  std::vector<int> FFillers;
};

std::string FindSocket(const std::filesystem::path& AFolder) {
  for (const auto& Entry : std::filesystem::recursive_directory_iterator(AFolder))
    if (Entry.is_socket()) return Entry.path().string();
  return {};
}

TEST(GtkLayerChannel, ListenerWithoutDescriptorsLeavesTheLoopToOthersAndServesTheClientLater) {
  char Folder[] = "/tmp/quorvel-gtk-channel.XXXXXX";
  ASSERT_NE(mkdtemp(Folder), nullptr);
  struct TRuntimeFolder {
    std::string Folder;
    std::optional<std::string> Old;
    explicit TRuntimeFolder(std::string AFolder) : Folder(std::move(AFolder)) {
      if (const char* Value = std::getenv("XDG_RUNTIME_DIR")) Old = Value;
      setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
    }
    ~TRuntimeFolder() {
      if (Old)
        setenv("XDG_RUNTIME_DIR", Old->c_str(), 1);
      else
        unsetenv("XDG_RUNTIME_DIR");
      std::filesystem::remove_all(Folder);
    }
  } Runtime(Folder);
  platform::ui::TForm Form{platform::ui::TFormDesign{}};
  auto Channel = platform::ui::OpenCommandChannel(Form, platform::ui::TCommandLimits{64},
                                                  [](std::string_view) { return std::string("answered"); });
  ASSERT_NE(Channel, nullptr);
  const std::string Path = FindSocket(Folder);
  ASSERT_FALSE(Path.empty());

  const int Client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(Client, 0);
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  std::strncpy(Address.sun_path, Path.c_str(), sizeof(Address.sun_path) - 1);
  ASSERT_EQ(connect(Client, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)), 0);
  ASSERT_EQ(write(Client, "x\n", 2), 2);
  {
    // The connection waits while no descriptor is left to accept it with;
    // a source of lower priority (GDK draws at GDK_PRIORITY_REDRAW) must
    // still get its turn.
    TDescriptorsExhausted Exhausted;
    bool Drawn = false;
    g_idle_add_full(
        GDK_PRIORITY_REDRAW,
        [](gpointer AData) -> gboolean {
          *static_cast<bool*>(AData) = true;
          return G_SOURCE_REMOVE;
        },
        &Drawn, nullptr);
    for (int Turn = 0; Turn < 2000 && !Drawn; ++Turn) g_main_context_iteration(nullptr, FALSE);
    EXPECT_TRUE(Drawn) << "the listener's watch keeps the loop to itself";
  }
  // With descriptors again, the waiting client gets its answer.
  std::string Answer;
  const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Answer.find('\n') == std::string::npos && std::chrono::steady_clock::now() < Limit) {
    g_main_context_iteration(nullptr, FALSE);
    pollfd Ready{Client, POLLIN, 0};
    if (poll(&Ready, 1, 10) == 1) {
      char Buffer[64];
      const ssize_t Got = read(Client, Buffer, sizeof Buffer);
      if (Got <= 0) break;
      Answer.append(Buffer, static_cast<std::size_t>(Got));
    }
  }
  close(Client);
  EXPECT_EQ(Answer, "answered\n");
}

// A process in which libsoup 3 is loaded (by the platform, say) on a
// machine where only WebKitGTK 4.0 (libsoup 2) is installed: what the
// WebKit loader opens, and what it only asks about.
struct TSoup3Machine {
  static inline std::vector<std::string> Opened;
  static void* Open(const char* AName, int AFlags) {
    static int Handle;
    const std::string Name = AName;
    if (AFlags & RTLD_NOLOAD) return Name == "libsoup-3.0.so.0" ? &Handle : nullptr;
    Opened.push_back(Name);
    return Name == "libwebkit2gtk-4.0.so.37" ? &Handle : nullptr;
  }
};

TEST(GtkLayerWebKit, BesideLibsoup3OnlyWebKitOfLibsoup3IsLoaded) {
  TSoup3Machine::Opened.clear();
  EXPECT_EQ(platform::ui::gtk::OpenWebKit(&TSoup3Machine::Open), nullptr);
  EXPECT_EQ(TSoup3Machine::Opened, std::vector<std::string>{"libwebkit2gtk-4.1.so.0"})
      << "WebKitGTK 4.0 would bring libsoup 2, and libsoup stops the process";
}

using platform::ui::gtk::TranslateKey;

TEST(GtkLayerKeys, DigitsOfTheMainRowAndTheKeypadTypeTheirDigit) {
  EXPECT_EQ(TranslateKey(GDK_KEY_1, 0).Char, u'1');
  EXPECT_EQ(TranslateKey(GDK_KEY_8, 0).Char, u'8');
  EXPECT_EQ(TranslateKey(GDK_KEY_KP_6, GDK_MOD2_MASK).Char, u'6');  // Num Lock on
  EXPECT_EQ(TranslateKey(GDK_KEY_KP_1, 0).PageStep, 0);
  EXPECT_EQ(TranslateKey(GDK_KEY_6, GDK_CONTROL_MASK).Char, 0);
  EXPECT_EQ(TranslateKey(GDK_KEY_6, GDK_MOD1_MASK).Char, 0);
  EXPECT_EQ(TranslateKey(GDK_KEY_Return, 0).Char, 0);
}

TEST(GtkLayerKeys, PageKeysAreThoseOfWindowsPageControl) {
  EXPECT_EQ(TranslateKey(GDK_KEY_Tab, GDK_CONTROL_MASK).PageStep, 1);
  EXPECT_EQ(TranslateKey(GDK_KEY_ISO_Left_Tab, GDK_CONTROL_MASK | GDK_SHIFT_MASK).PageStep, -1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Page_Down, GDK_CONTROL_MASK).PageStep, 1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Page_Up, GDK_CONTROL_MASK).PageStep, -1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Right, 0).PageStep, 1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Down, 0).PageStep, 1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Left, 0).PageStep, -1);
  EXPECT_EQ(TranslateKey(GDK_KEY_Up, 0).PageStep, -1);
  // Without Ctrl, Tab and the page keys are not page keys.
  EXPECT_EQ(TranslateKey(GDK_KEY_Tab, 0).PageStep, 0);
  EXPECT_EQ(TranslateKey(GDK_KEY_Page_Down, 0).PageStep, 0);
  EXPECT_EQ(TranslateKey(GDK_KEY_Page_Down, GDK_CONTROL_MASK).Char, 0);
}

}  // namespace
