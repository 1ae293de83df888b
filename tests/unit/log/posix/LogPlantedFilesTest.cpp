// What another local user may have left in the log's place: a folder of
// theirs, a folder everyone can write into, and in it a FIFO, a hard link or
// a file others can read, named after today's log.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/Common.Log.h"
#include "common/Exception.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

mode_t ModeOf(const std::filesystem::path& APath) {
  struct stat Info{};
  EXPECT_EQ(lstat(APath.c_str(), &Info), 0) << APath;
  return Info.st_mode & 07777;
}

// The text of the exception the next line of the log raises, or "none".
std::string FailureOfNextLine() {
  try {
    WriteLog(u"x", u"", llInfo);
  } catch (const Exception& E) {
    return E.what();
  }
  return "none";
}

using LogPlantedFiles = LogTest::TLogSandbox;

TEST_F(LogPlantedFiles, FifoInTheFilesPlaceIsRefusedWithoutWaiting) {
  GetLogFileName(true);
  ASSERT_EQ(mkfifo(TodaysFile().c_str(), 0666), 0);
  SetLogMode(lmAll);
  EXPECT_NE(FailureOfNextLine().find("is not a plain file"), std::string::npos);
}

TEST_F(LogPlantedFiles, HardLinkInTheFilesPlaceIsRefused) {
  GetLogFileName(true);
  const std::filesystem::path Elsewhere = LogFolder().parent_path() / "elsewhere.txt";
  { std::FILE* File = std::fopen(Elsewhere.c_str(), "w"); ASSERT_NE(File, nullptr); std::fclose(File); }
  std::filesystem::create_hard_link(Elsewhere, TodaysFile());
  SetLogMode(lmAll);
  EXPECT_NE(FailureOfNextLine().find("has other names"), std::string::npos);
  EXPECT_EQ(std::filesystem::file_size(Elsewhere), 0u);
  std::filesystem::remove(Elsewhere);
}

TEST_F(LogPlantedFiles, FolderAndFileOthersCouldUseAreNarrowedToTheUser) {
  GetLogFileName(true);
  ASSERT_EQ(chmod(LogFolder().c_str(), 0777), 0);
  { std::FILE* File = std::fopen(TodaysFile().c_str(), "w"); ASSERT_NE(File, nullptr); std::fclose(File); }
  ASSERT_EQ(chmod(TodaysFile().c_str(), 0666), 0);
  SetLogMode(lmAll);
  EXPECT_EQ(FailureOfNextLine(), "none");
  EXPECT_EQ(ModeOf(LogFolder()), 0700u);
  EXPECT_EQ(ModeOf(TodaysFile()), 0600u);
}

// Root gives a folder of its own away; anyone else meets the system's /tmp
// (root's) as the log folder, reached through a link above it.
TEST_F(LogPlantedFiles, FolderOfAnotherUserSwitchesTheLogOffWithItsReason) {
  if (geteuid() == 0) {
    std::filesystem::create_directories(LogFolder());
    ASSERT_EQ(chown(LogFolder().c_str(), 65534, 65534), 0);
    ASSERT_EQ(chmod(LogFolder().c_str(), 0777), 0);
  } else {
    std::filesystem::create_directories(LogFolder().parent_path().parent_path());
    std::filesystem::create_directory_symlink("/", LogFolder().parent_path());
    SetLogName(u"tmp");
  }
  SetLogMode(lmAll);
  EXPECT_NE(FailureOfNextLine().find("belongs to another user"), std::string::npos);
  EXPECT_EQ(LogMode(), lmOff);
  EXPECT_EQ(FailureOfNextLine(), "none");  // the log is off: nothing is tried
  EXPECT_NO_THROW(GetLogFileName(true));  // the folder is still named (LogPath)
  if (geteuid() == 0) {
    EXPECT_TRUE(std::filesystem::is_empty(LogFolder()));
    EXPECT_EQ(ModeOf(LogFolder()), 0777u);  // not the user's to narrow
  } else {
    std::filesystem::remove(LogFolder().parent_path());
  }
}

}  // namespace
