// Linux specifics of the log: the data folder, the folder's mode, the module
// and its version, and a lock held by another process.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "common/Text.h"
#include "platform/Folders.h"
#include "platform/Module.h"
#include "platform/OsVersion.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

mode_t ModeOf(const std::filesystem::path& APath) {
  struct stat Info{};
  EXPECT_EQ(stat(APath.c_str(), &Info), 0);
  return Info.st_mode & 07777;
}

using LogFolderPosix = LogTest::TLogSandbox;

TEST_F(LogFolderPosix, DataFolderFollowsXdgDataHomeElseHome) {
  const std::string Xdg = getenv("XDG_DATA_HOME");
  EXPECT_EQ(platform::CommonAppDataFolder(), ToUtf16(Xdg + "/"));
  setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  const std::string Home = getenv("HOME") ? getenv("HOME") : "";
  if (!Home.empty()) {
    EXPECT_EQ(platform::CommonAppDataFolder(), ToUtf16(Home + "/.local/share/"));
  }
  setenv("XDG_DATA_HOME", Xdg.c_str(), 1);
}

TEST_F(LogFolderPosix, NewLogFolderAndFilesArePrivateToTheUser) {
  const mode_t OldMask = umask(0);  // the modes come from the code, not the mask
  GetLogFileName(true);
  EXPECT_EQ(ModeOf(LogFolder()), 0700u);
  EXPECT_EQ(ModeOf(LogFolder().parent_path()), 0700u);
  SetLogMode(lmAll);
  WriteLog(u"x", u"", llInfo);
  EXPECT_EQ(ModeOf(TodaysFile()), 0600u);
  SetLogMode(lmOff);
  umask(OldMask);
}

TEST_F(LogFolderPosix, PlantedSymbolicLinkIsNeverFollowed) {
  GetLogFileName(true);
  const std::filesystem::path Victim = LogFolder().parent_path() / "victim.txt";
  { std::FILE* File = std::fopen(Victim.c_str(), "w"); ASSERT_NE(File, nullptr); std::fclose(File); }
  std::filesystem::create_symlink(Victim, TodaysFile());
  SetLogMode(lmAll);
  EXPECT_THROW(WriteLog(u"x", u"", llInfo), Exception);
  SetLogMode(lmOff);
  EXPECT_EQ(std::filesystem::file_size(Victim), 0u);
  EXPECT_TRUE(std::filesystem::is_symlink(TodaysFile()));
  std::filesystem::remove(TodaysFile());
  std::filesystem::remove(Victim);
}

TEST_F(LogFolderPosix, UncreatableFolderRaisesAClearError) {
  const std::filesystem::path Blocker = LogFolder().parent_path();
  std::filesystem::create_directories(Blocker.parent_path());
  { std::FILE* File = std::fopen(Blocker.c_str(), "w"); ASSERT_NE(File, nullptr); std::fclose(File); }
  SetLogMode(lmAll);
  try {
    WriteLog(u"x", u"", llInfo);
    FAIL() << "a file in the folder's place must fail";
  } catch (const Exception& E) {
    EXPECT_NE(std::string(E.what()).find("Cannot create the folder"), std::string::npos) << E.what();
  }
  SetLogMode(lmOff);  // no period was started, so nothing is written
  std::filesystem::remove(Blocker);
}

TEST(ModulePosix, IsThisProgramWithTheBuildsVersion) {
  EXPECT_EQ(std::filesystem::path(platform::ModuleLongFileName()), std::filesystem::canonical("/proc/self/exe"));
  const platform::TFileVersion Own = platform::FileVersionOf(u"");
  // The version the build was made with: never the 0.0.0.0 of "no version".
  EXPECT_GT(Own.Major + Own.Minor + Own.Release + Own.Build, 0);
  const platform::TFileVersion Other = platform::FileVersionOf(u"/bin/sh");
  EXPECT_EQ(Other.Major + Other.Minor + Other.Release + Other.Build, 0);
}

TEST(OsVersionPosix, NamesTheKernel) {
  utsname Names{};
  ASSERT_EQ(uname(&Names), 0);
  const std::string Text = ToUtf8(platform::OSVersionText());
  EXPECT_EQ(Text.rfind(std::string(Names.sysname) + " (", 0), 0u) << Text;
}

using LogUnload = LogTest::TLogSandbox;

// A process that ends with an open logging period closes it with the footer
// as the log's state is destroyed; one that wrote no line writes nothing.
TEST_F(LogUnload, ClosesAnOpenPeriodWithTheFooter) {
  for (const bool WriteALine : {true, false}) {
    SetLogMode(lmAll);
    const pid_t Child = fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
      if (WriteALine) WriteLog(u"last words", u"", llInfo);
      std::exit(0);
    }
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status));
    SetLogMode(lmOff);  // this process never started the period: no footer here
  }
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_EQ(Lines.size(), 9u);
  EXPECT_EQ(Lines[6], "2026.12.07 09:05:03.007\tINFO\tlast words");
  EXPECT_EQ(Lines[7], "============Stop log===============");
  EXPECT_EQ(Lines[8], "");
}

using LogChildProcessLock = LogTest::TLogSandbox;

// Another process (a second copy of the platform) holds the file's lock.
TEST_F(LogChildProcessLock, BlocksUntilTheOtherProcessLetsGo) {
  SetLogMode(lmAll);
  WriteLog(u"before", u"", llInfo);
  int Locked[2], Release[2];
  ASSERT_EQ(pipe(Locked), 0);
  ASSERT_EQ(pipe(Release), 0);
  const std::string File = TodaysFile().string();
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    const int Fd = open(File.c_str(), O_RDWR);
    char Byte = (Fd >= 0 && flock(Fd, LOCK_EX) == 0) ? 'L' : 'E';
    (void)!write(Locked[1], &Byte, 1);
    (void)!read(Release[0], &Byte, 1);
    _exit(0);
  }
  char Byte = 0;
  ASSERT_EQ(read(Locked[0], &Byte, 1), 1);
  ASSERT_EQ(Byte, 'L');
  EXPECT_THROW(WriteLog(u"held", u"", llInfo), Exception);
  ASSERT_EQ(write(Release[1], "x", 1), 1);
  int Status = 0;
  waitpid(Child, &Status, 0);
  for (int Fd : {Locked[0], Locked[1], Release[0], Release[1]}) close(Fd);
  EXPECT_NO_THROW(WriteLog(u"after", u"", llInfo));
  const std::vector<std::string> Lines = LogTest::ReadLines(TodaysFile());
  EXPECT_EQ(Lines.back(), "2026.12.07 09:05:03.007\tINFO\tafter");
  EXPECT_EQ(Lines[Lines.size() - 2], "2026.12.07 09:05:03.007\tINFO\tbefore");
}

}  // namespace
