#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/Files.h"
#include "platform/TextFile.h"

namespace {

class FilesPosix : public ::testing::Test {
protected:
  void SetUp() override {
    char Template[] = "/tmp/quorvel-files-XXXXXX";
    ASSERT_NE(mkdtemp(Template), nullptr);
    FRoot = Template;
  }
  void TearDown() override { platform::RemoveFolderTree(ToUtf16(FRoot)); }

  void Touch(const std::string& AName) {
    std::FILE* File = std::fopen((FRoot + "/" + AName).c_str(), "w");
    ASSERT_NE(File, nullptr);
    std::fputs("x", File);
    std::fclose(File);
  }
  bool Exists(const std::string& APath) const {
    struct stat Info;
    return lstat(APath.c_str(), &Info) == 0;
  }

  std::string FRoot;
};

TEST_F(FilesPosix, ListsEntriesWithLinkedFoldersAsFolders) {
  ASSERT_EQ(mkdir((FRoot + "/sub").c_str(), 0700), 0);
  Touch("a.log");
  ASSERT_EQ(symlink((FRoot + "/sub").c_str(), (FRoot + "/link").c_str()), 0);
  auto Entries = platform::ListFolder(ToUtf16(FRoot));
  ASSERT_TRUE(Entries);
  std::sort(Entries->begin(), Entries->end(), [](const auto& A, const auto& B) { return A.Name < B.Name; });
  ASSERT_EQ(Entries->size(), 3u);
  EXPECT_EQ((*Entries)[0].Name, u"a.log");
  EXPECT_FALSE((*Entries)[0].Folder);
  EXPECT_EQ((*Entries)[1].Name, u"link");
  EXPECT_TRUE((*Entries)[1].Folder);
  EXPECT_EQ((*Entries)[2].Name, u"sub");
  EXPECT_TRUE((*Entries)[2].Folder);
  EXPECT_FALSE(platform::ListFolder(ToUtf16(FRoot + "/missing")));
}

// A link inside the removed tree goes, what it points to stays.
TEST_F(FilesPosix, RemovesATreeWithoutFollowingLinks) {
  ASSERT_EQ(mkdir((FRoot + "/keep").c_str(), 0700), 0);
  Touch("keep/kept.txt");
  ASSERT_EQ(mkdir((FRoot + "/tree").c_str(), 0700), 0);
  ASSERT_EQ(mkdir((FRoot + "/tree/deep").c_str(), 0700), 0);
  Touch("tree/deep/file.txt");
  ASSERT_EQ(symlink((FRoot + "/keep").c_str(), (FRoot + "/tree/link").c_str()), 0);
  platform::RemoveFolderTree(ToUtf16(FRoot + "/tree"));
  EXPECT_FALSE(Exists(FRoot + "/tree"));
  EXPECT_TRUE(Exists(FRoot + "/keep/kept.txt"));
}

TEST_F(FilesPosix, ReadingAFolderAsALogFails) {
  EXPECT_THROW(platform::ReadFileEndDenyWrite(ToUtf16(FRoot), 0, 1024), Exception);
  Touch("a.log");
  const auto Part = platform::ReadFileEndDenyWrite(ToUtf16(FRoot + "/a.log"), 0, 1024);
  EXPECT_EQ(Part.Data, "x");
  EXPECT_EQ(Part.Size, 1u);
}

}  // namespace
