// Where the log goes: folder and file names, and the folder's creation.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/Common.Log.h"
#include "common/LogFileName.h"
#include "platform/Folders.h"
#include "platform/Module.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

TEST(LogBaseNameRules, DropFolderAndLastExtension) {
  EXPECT_EQ(LogBaseName(u"a.b"), u"a");
  EXPECT_EQ(LogBaseName(u"quorvel"), u"quorvel");
  EXPECT_EQ(LogBaseName(u"x.y.z"), u"x.y");
  const std::u16string Delimiter(1, platform::PathDelimiter);
  EXPECT_EQ(LogBaseName(u"dir.d" + Delimiter + u"name.ext"), u"name");
  EXPECT_EQ(LogBaseName(u"dir.d" + Delimiter + u"name"), u"name");
}

using LogFileName = LogTest::TLogSandbox;

TEST_F(LogFileName, FolderEndsWithDelimiterAndIsCreatedWithItsParents) {
  ASSERT_FALSE(std::filesystem::exists(LogFolder()));
  const std::u16string Folder = GetLogFileName(true);
  ASSERT_FALSE(Folder.empty());
  EXPECT_EQ(Folder.back(), platform::PathDelimiter);
  EXPECT_EQ(Folder, platform::CommonAppDataFolder() + u"Halvessa" + platform::PathDelimiter + FName +
                        platform::PathDelimiter);
  EXPECT_TRUE(std::filesystem::is_directory(LogFolder()));
  // Asking again for an existing folder changes nothing and fails nothing.
  EXPECT_EQ(GetLogFileName(true), Folder);
}

TEST_F(LogFileName, FileIsNamedAfterBaseNameAndTheClocksDate) {
  SetLogName(FName + u".dll");
  EXPECT_EQ(std::filesystem::path(GetLogFileName(false)), TodaysFile());
  LogTest::FixedTime = {2031, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(std::filesystem::path(GetLogFileName(false)), FileOf(2031, 2, 3));
  EXPECT_FALSE(std::filesystem::exists(TodaysFile()));  // naming is not writing
}

TEST_F(LogFileName, EmptyLogNameUsesTheModulesName) {
  SetLogName(u"");
  const std::u16string ModuleBase = LogBaseName(platform::ModuleLongFileName());
  ASSERT_FALSE(ModuleBase.empty());
  const std::u16string Folder = GetLogFileName(true);
  const std::u16string Expected = u"Halvessa" + std::u16string(1, platform::PathDelimiter) + ModuleBase +
                                  platform::PathDelimiter;
  ASSERT_GE(Folder.size(), Expected.size());
  EXPECT_EQ(Folder.substr(Folder.size() - Expected.size()), Expected);
  std::error_code Ignored;
  std::filesystem::remove_all(std::filesystem::path(Folder), Ignored);
}

}  // namespace
