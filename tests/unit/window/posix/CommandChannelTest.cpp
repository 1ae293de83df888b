// The tag window's command channel on Linux: a Unix socket served by the
// window layer's message processing, reached with quorvel-tags' client.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/posix/ChannelFolder.h"
#include "platform/ui/Form.h"
#include "quorvel-tags/TagClient.h"
#include "rfid/ufmBarcodes.h"

using namespace std::chrono_literals;

namespace {

// A runtime folder of the test's own, so that no other reader of this user
// shows up.
class CommandChannel : public ::testing::Test {
protected:
  void SetUp() override {
    const char* Old = std::getenv("XDG_RUNTIME_DIR");
    if (Old) FOldRuntime = Old;
    char Template[] = "/tmp/quorvel-channel-test.XXXXXX";
    ASSERT_NE(mkdtemp(Template), nullptr);
    FRuntime = Template;
    setenv("XDG_RUNTIME_DIR", Template, 1);
  }
  void TearDown() override {
    if (FOldRuntime)
      setenv("XDG_RUNTIME_DIR", FOldRuntime->c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(FRuntime);
  }

  // A client of its own: connected, and it sends ATEXT as it is.
  static int RawClient(const std::string& APath, const std::string& AText) {
    const int Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::strncpy(Address.sun_path, APath.c_str(), sizeof(Address.sun_path) - 1);
    EXPECT_EQ(connect(Fd, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)), 0);
    if (!AText.empty()) {
      EXPECT_EQ(send(Fd, AText.data(), AText.size(), MSG_NOSIGNAL), static_cast<ssize_t>(AText.size()));
    }
    return Fd;
  }
  // What the channel sends back to a raw client, and "|closed" when it
  // hangs up, while the window processes its messages.
  static std::string Received(int AFd) {
    std::string Result;
    for (int Round = 0; Round < 200; ++Round) {
      platform::ui::ProcessMessages();
      pollfd Poll{AFd, POLLIN, 0};
      if (poll(&Poll, 1, 5) <= 0) continue;
      char Buffer[256];
      const ssize_t N = recv(AFd, Buffer, sizeof(Buffer), 0);
      if (N == 0 || (N < 0 && errno == ECONNRESET)) return Result + "|closed";
      if (N < 0) break;
      Result.append(Buffer, static_cast<std::size_t>(N));
    }
    return Result;
  }
  static quorvel_tags::TExchange Send(const quorvel_tags::TReader& AReader, const std::string& ACommand) {
    return quorvel_tags::Exchange(AReader, ACommand, 2s, [] { platform::ui::ProcessMessages(); });
  }

  std::optional<std::string> FOldRuntime;
  std::string FRuntime;
};

}  // namespace

TEST_F(CommandChannel, ReachesTheWindowThroughAPrivateSocketThatGoesWithIt) {
  std::string Path;
  {
    TfmBarcodes Window;
    std::vector<std::intptr_t> Reported;
    Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
    ASSERT_NE(Window.Channel(), nullptr);
    const auto Readers = quorvel_tags::FindReaders();
    ASSERT_EQ(Readers.size(), 1u);
    EXPECT_EQ(Readers[0].Id, Window.Channel()->Id());
    EXPECT_EQ(Readers[0].Process, getpid());
    Path = Readers[0].Path;
    struct stat Folder {};
    ASSERT_EQ(stat(std::filesystem::path(Path).parent_path().c_str(), &Folder), 0);
    EXPECT_EQ(Folder.st_mode & 0777, 0700u);

    const auto Reply = Send(Readers[0], "quorvel-tags/1 present 4 2");
    ASSERT_EQ(Reply.Status, quorvel_tags::TExchangeStatus::esOk);
    EXPECT_EQ(Reply.Answer, "quorvel-tags/1 ok shown=0 field=");
    EXPECT_EQ(Reported, (std::vector<std::intptr_t>{3, 1}));
  }
  EXPECT_TRUE(quorvel_tags::FindReaders().empty());
  EXPECT_FALSE(std::filesystem::exists(Path));
}

TEST_F(CommandChannel, HalfSentSilentAndOversizedClientsNeitherStallNorChangeAnything) {
  TfmBarcodes Window;
  std::vector<std::intptr_t> Reported;
  Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
  const auto Readers = quorvel_tags::FindReaders();
  ASSERT_EQ(Readers.size(), 1u);
  const std::string& Path = Readers[0].Path;

  const int Half = RawClient(Path, "quorvel-tags/1 present 1");  // no end of line yet
  const int Silent = RawClient(Path, "");
  for (int I = 0; I < 5; ++I) platform::ui::ProcessMessages();  // returns: nothing waits
  const auto Reply = Send(Readers[0], "quorvel-tags/1 present 2");
  ASSERT_EQ(Reply.Status, quorvel_tags::TExchangeStatus::esOk);
  shutdown(Half, SHUT_WR);  // the rest never comes
  EXPECT_EQ(Received(Half), "|closed");

  const int Oversized = RawClient(Path, std::string(2000, '7'));
  EXPECT_EQ(Received(Oversized), "quorvel-tags/1 error length\n|closed");
  EXPECT_EQ(Reported, (std::vector<std::intptr_t>{1}));

  // Only a few clients are kept: the oldest silent one is let go.
  std::vector<int> More;
  for (int I = 0; I < 8; ++I) More.push_back(RawClient(Path, ""));
  EXPECT_EQ(Received(Silent), "|closed");
  for (const int Fd : More) close(Fd);
  for (const int Fd : {Half, Silent, Oversized}) close(Fd);
}

TEST_F(CommandChannel, ListRemovesSocketsOfProcessesThatEnded) {
  const auto Folder = platform::posix::ChannelFolder(true);
  ASSERT_TRUE(Folder);
  // Above Linux's largest process id, so surely no process of that id runs.
  const std::string Stale = *Folder + "/" + platform::posix::ChannelSocketName(4194400, 1);
  std::ofstream(Stale).put('x');
  TfmBarcodes Window;
  const auto Readers = quorvel_tags::FindReaders();
  ASSERT_EQ(Readers.size(), 1u);
  EXPECT_EQ(Readers[0].Id, Window.Channel()->Id());
  EXPECT_FALSE(std::filesystem::exists(Stale));
}

// Two copies of the library in one process both number their first window
// 1: the random part keeps their names apart.
TEST(ChannelNames, EachNameDrawsANewRandomPart) {
  const std::string First = platform::posix::ChannelSocketName(4242, 1);
  const std::string Second = platform::posix::ChannelSocketName(4242, 1);
  EXPECT_NE(First, Second);
  ASSERT_EQ(First.size(), std::string("4242-1-01234567.sock").size()) << First;
  EXPECT_EQ(First.rfind("4242-1-", 0), 0u) << First;
  pid_t Process = 0;
  EXPECT_EQ(platform::posix::ChannelIdOfName(First, &Process), First.substr(0, First.size() - 5));
  EXPECT_EQ(Process, 4242);
  EXPECT_EQ(platform::posix::ChannelIdOfName("4242-1.sock"), "4242-1");  // an earlier version's
  EXPECT_FALSE(platform::posix::ChannelIdOfName("4242-1-XYZ.sock"));
  EXPECT_FALSE(platform::posix::ChannelIdOfName("-1-0a.sock"));
}

// Another copy's live socket that has taken the name stays when this
// channel closes.
TEST_F(CommandChannel, ClosingLeavesASocketThatIsNoLongerItsOwn) {
  std::string Path;
  int Other = -1;
  {
    TfmBarcodes Window;
    const auto Readers = quorvel_tags::FindReaders();
    ASSERT_EQ(Readers.size(), 1u);
    Path = Readers[0].Path;
    ASSERT_EQ(unlink(Path.c_str()), 0);
    Other = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::strncpy(Address.sun_path, Path.c_str(), sizeof(Address.sun_path) - 1);
    ASSERT_EQ(bind(Other, reinterpret_cast<const sockaddr*>(&Address), sizeof(Address)), 0);
  }
  EXPECT_TRUE(std::filesystem::exists(Path));
  close(Other);
}

// A session without a runtime folder of the user's own (none, or one that
// others can enter) keeps the sockets in the user's cache folder, per host.
TEST_F(CommandChannel, WithoutAPrivateRuntimeFolderTheUsersCacheFolderIsUsed) {
  const char* OldCache = std::getenv("XDG_CACHE_HOME");
  const std::optional<std::string> SavedCache = OldCache ? std::optional<std::string>(OldCache) : std::nullopt;
  setenv("XDG_CACHE_HOME", (FRuntime + "/cache").c_str(), 1);
  char Host[256] = {};
  ASSERT_EQ(gethostname(Host, sizeof(Host) - 1), 0);
  const std::string Expected = FRuntime + "/cache/quorvel-" + Host;
  ASSERT_EQ(chmod(FRuntime.c_str(), 0777), 0);
  EXPECT_EQ(platform::posix::ChannelFolder(true), Expected);
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(platform::posix::ChannelFolder(false), Expected);
  {
    TfmBarcodes Window;
    const auto Readers = quorvel_tags::FindReaders();
    ASSERT_EQ(Readers.size(), 1u);
    EXPECT_EQ(std::filesystem::path(Readers[0].Path).parent_path(), Expected);
  }
  struct stat Info {};
  ASSERT_EQ(stat(Expected.c_str(), &Info), 0);
  EXPECT_EQ(Info.st_mode & 0777, 0700u);
  if (SavedCache)
    setenv("XDG_CACHE_HOME", SavedCache->c_str(), 1);
  else
    unsetenv("XDG_CACHE_HOME");
}
