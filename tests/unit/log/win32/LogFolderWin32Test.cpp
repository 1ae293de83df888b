// Windows specifics of the log, run under Wine as well: the common data
// folder, the access grant on a new log folder, the module's long path and
// version, and the OS text.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <filesystem>
#include <regex>

#include "common/Common.Log.h"
#include "common/Text.h"
#include "platform/Folders.h"
#include "platform/Module.h"
#include "platform/OsVersion.h"
#include "unit/log/LogSandbox.h"

using namespace Common::Log;

namespace {

// Whether the folder's access list lets Everyone read, write, create and
// delete: GENERIC_ALL as written, or the file rights the system maps it to
// (Wine keeps folder permissions as Unix mode bits and reports them so).
constexpr DWORD kModifyRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

bool EveryoneHasFullAccess(const std::filesystem::path& AFolder) {
  SID_IDENTIFIER_AUTHORITY World = SECURITY_WORLD_SID_AUTHORITY;
  PSID Everyone = nullptr;
  if (!AllocateAndInitializeSid(&World, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &Everyone)) return false;
  PACL Dacl = nullptr;
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  bool Found = false;
  if (GetNamedSecurityInfoW(AFolder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &Dacl,
                            nullptr, &Descriptor) == ERROR_SUCCESS &&
      Dacl != nullptr) {
    for (DWORD I = 0; I < Dacl->AceCount && !Found; ++I) {
      void* Entry = nullptr;
      if (!GetAce(Dacl, I, &Entry)) continue;
      auto* Ace = static_cast<ACCESS_ALLOWED_ACE*>(Entry);
      Found = Ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && EqualSid(&Ace->SidStart, Everyone) &&
              (Ace->Mask == GENERIC_ALL || (Ace->Mask & kModifyRights) == kModifyRights);
    }
  }
  LocalFree(Descriptor);
  FreeSid(Everyone);
  return Found;
}

TEST(CommonDataFolderWin32, EndsWithBackslashAndExists) {
  const std::u16string Folder = platform::CommonAppDataFolder();
  ASSERT_GT(Folder.size(), 3u);
  EXPECT_EQ(Folder.back(), u'\\');
  EXPECT_TRUE(platform::FolderExists(Folder));
}

using LogFolderWin32 = LogTest::TLogSandbox;

TEST_F(LogFolderWin32, NewLogFolderGrantsEveryoneFullAccess) {
  const std::u16string Folder = GetLogFileName(true);
  EXPECT_EQ(Folder.substr(Folder.size() - FName.size() - 10), u"Halvessa\\" + FName + u"\\");
  ASSERT_TRUE(std::filesystem::is_directory(LogFolder()));
  EXPECT_TRUE(EveryoneHasFullAccess(LogFolder()));
  // The grant is idempotent: asking again must not fail or duplicate it.
  EXPECT_EQ(GetLogFileName(true), Folder);
}

TEST_F(LogFolderWin32, ExistingLogFolderIsNotChanged) {
  std::filesystem::create_directories(LogFolder());
  ASSERT_FALSE(EveryoneHasFullAccess(LogFolder()));
  GetLogFileName(true);
  EXPECT_FALSE(EveryoneHasFullAccess(LogFolder()));
}

TEST_F(LogFolderWin32, FileOpenedWithoutWriteSharingStillAllowsReaders) {
  SetLogMode(lmAll);
  WriteLog(u"line", u"", llInfo);
  // A reader that shares writing (as a log viewer does) does not block the log.
  HANDLE Reader = CreateFileW(TodaysFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(Reader, INVALID_HANDLE_VALUE);
  EXPECT_NO_THROW(WriteLog(u"while read", u"", llInfo));
  CloseHandle(Reader);
  EXPECT_EQ(LogTest::ReadLines(TodaysFile()).back(), "2026.12.07 09:05:03.007\tINFO\twhile read");
}

TEST(ModuleWin32, IsTheLongPathOfThisProgram) {
  const std::u16string Path = platform::ModuleLongFileName();
  wchar_t Own[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, Own, MAX_PATH);  // the test program holds the code
  EXPECT_TRUE(SameTextIgnoreCase(Path, reinterpret_cast<const char16_t*>(Own))) << ToUtf8(Path);
  EXPECT_EQ(Path.find(u'~'), std::u16string::npos) << ToUtf8(Path);
  EXPECT_TRUE(SameTextIgnoreCase(std::filesystem::path(Path).filename().u16string(), u"quorvel_unit_tests.exe"));
}

TEST(ModuleWin32, ReadsFixedFileVersionsAndZerosWithoutOne) {
  wchar_t System[MAX_PATH] = {};
  GetSystemDirectoryW(System, MAX_PATH);
  const std::u16string Kernel = reinterpret_cast<const char16_t*>(System) + std::u16string(u"\\kernel32.dll");
  const platform::TFileVersion KernelVersion = platform::FileVersionOf(Kernel);
  EXPECT_GT(KernelVersion.Major, 0);

  const std::filesystem::path Plain = std::filesystem::temp_directory_path() / "qvlog-noversion.txt";
  { std::FILE* File = _wfopen(Plain.c_str(), L"wb"); ASSERT_NE(File, nullptr); std::fputs("text", File); std::fclose(File); }
  const platform::TFileVersion None = platform::FileVersionOf(Plain.u16string());
  EXPECT_EQ(None.Major + None.Minor + None.Release + None.Build, 0);
  std::filesystem::remove(Plain);
}

TEST(OsVersionWin32, NamesAWindowsRelease) {
  const std::string Text = ToUtf8(platform::OSVersionText());
  EXPECT_TRUE(std::regex_match(Text, std::regex("(Windows [^(]+|Unknown )\\(\\d+\\.\\d+\\.\\d+\\)"))) << Text;
}

}  // namespace
