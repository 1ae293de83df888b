// The log viewer's logic through the window layer's state: which files it
// lists, which it opens, how it decodes and follows them.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/Exception.h"
#include "common/LogTail.h"
#include "common/Text.h"
#include "common/ufmLog.h"

namespace fs = std::filesystem;

namespace {

class LogViewer : public ::testing::Test {
protected:
  void SetUp() override {
    std::random_device Random;
    FFolder = fs::temp_directory_path() / ("quorvel-logviewer-" + std::to_string(Random()));
    fs::create_directories(FFolder);
  }
  void TearDown() override {
    std::error_code Ignored;
    fs::remove_all(FFolder, Ignored);
  }

  std::u16string Folder() const { return FFolder.u16string() + static_cast<char16_t>(fs::path::preferred_separator); }

  void Write(const std::string& AName, const std::string& ABytes, bool AAppend = false) const {
    std::ofstream(FFolder / AName, std::ios::binary | (AAppend ? std::ios::app : std::ios::trunc)) << ABytes;
  }

  // Moves the file's write time forward, as a later write would.
  void Touch(const std::string& AName, int ASeconds) const {
    const auto Path = FFolder / AName;
    fs::last_write_time(Path, fs::last_write_time(Path) + std::chrono::seconds(ASeconds));
  }

  std::unique_ptr<TfrmLog> Open() const {
    auto F = Folder();
    return std::make_unique<TfrmLog>([F] { return F; });
  }

  fs::path FFolder;
};

TEST_F(LogViewer, ListsLogFilesInAnyLetterCaseSortedAndOpensOnTheNewest) {
  Write("a_2026.12.07.log", "seventh\n");
  Write("a_2026.12.06.log", "sixth\n");
  Write("X.LOG", "upper\n");
  Write("notes.txt", "no\n");
  Write("a_2026.12.05.log.bak", "no\n");
  Write("log", "no\n");
  fs::create_directories(FFolder / "nested");
  Write("nested/inner.log", "no\n");

  auto Viewer = Open();
  EXPECT_EQ(Viewer->LogDirectory(), Folder());
  EXPECT_EQ(Viewer->cbbLogFiles().Items(),
            (std::vector<std::u16string>{u"a_2026.12.06.log", u"a_2026.12.07.log", u"X.LOG"}));
  // X.LOG sorts last; with date-named files of one log the last is the newest.
  EXPECT_EQ(Viewer->cbbLogFiles().Text(), u"X.LOG");
  EXPECT_EQ(Viewer->mmoLog().Text(), u"upper\n");
  EXPECT_EQ(Viewer->mmoLog().SelStart(), 0);
  EXPECT_TRUE(Viewer->tmrCheckFile().Enabled());
  EXPECT_EQ(Viewer->tmrCheckFile().Interval(), 1000);
}

TEST_F(LogViewer, OpensOnTheLatestDayOfOneLog) {
  Write("a_2026.12.06.log", "sixth\n");
  Write("a_2026.12.07.log", "seventh\n");
  auto Viewer = Open();
  EXPECT_EQ(Viewer->cbbLogFiles().Text(), u"a_2026.12.07.log");
  EXPECT_EQ(Viewer->mmoLog().Text(), u"seventh\n");
  EXPECT_EQ(Viewer->mmoLog().UpdateCount(), 0);
}

TEST_F(LogViewer, EmptyFolderGivesAnEmptyListAndAnIdleTimer) {
  auto Viewer = Open();
  EXPECT_TRUE(Viewer->cbbLogFiles().Items().empty());
  EXPECT_EQ(Viewer->mmoLog().Text(), u"");
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Viewer->mmoLog().Text(), u"");
}

TEST_F(LogViewer, DecodesWithTheChosenEncodingReadingTheFileAgainEachTime) {
  // "Привет" in UTF-8 with a byte-order mark, then in 1251 and 866.
  Write("a.log", "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  auto Viewer = Open();
  EXPECT_EQ(Viewer->mmoLog().Text(), u"Привет");

  Write("a.log", "\xCF\xF0\xE8\xE2\xE5\xF2");
  Viewer->cbbEncoding().Select(1);
  EXPECT_EQ(Viewer->mmoLog().Text(), u"Привет");

  Write("a.log", "\x8F\xE0\xA8\xA2\xA5\xE2");
  Viewer->cbbEncoding().Select(2);
  EXPECT_EQ(Viewer->mmoLog().Text(), u"Привет");

  // Back to UTF-8: the bytes on disk are read again, not the shown text.
  Write("a.log", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 2");
  Viewer->cbbEncoding().Select(0);
  EXPECT_EQ(Viewer->mmoLog().Text(), u"Привет 2");
  EXPECT_EQ(Viewer->mmoLog().UpdateCount(), 0);
}

TEST_F(LogViewer, ByteOrderMarkIsKeptOutsideUtf8) {
  Write("a.log", "\xEF\xBB\xBFz");
  auto Viewer = Open();
  Viewer->cbbEncoding().Select(1);
  EXPECT_EQ(Viewer->mmoLog().Text(), u"\u043F\u00BB\u0457z");
  EXPECT_EQ(TfrmLog::CodePageOf(-1), 65001u);
}

TEST_F(LogViewer, AGrowingFileIsReloadedWithTheCaretKept) {
  Write("a.log", "line 1\nline 2\n");
  auto Viewer = Open();
  auto& Memo = Viewer->mmoLog();
  Memo.SetSelStart(7);

  // Not changed on disk: nothing happens.
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Memo.ScrollCaretCount(), 0);

  Write("a.log", "line 3\n", true);
  Touch("a.log", 5);
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Memo.Text(), u"line 1\nline 2\nline 3\n");
  EXPECT_EQ(Memo.SelStart(), 7);
  EXPECT_EQ(Memo.ScrollCaretCount(), 1);
  EXPECT_EQ(Memo.FocusCount(), 1);

  // The caret at the old end stays at that offset.
  Memo.SetSelStart(static_cast<int>(Memo.Text().size()));
  Write("a.log", "line 4\n", true);
  Touch("a.log", 10);
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Memo.Text(), u"line 1\nline 2\nline 3\nline 4\n");
  EXPECT_EQ(Memo.SelStart(), 21);
  // Once reloaded, the same write time reloads nothing.
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Memo.ScrollCaretCount(), 2);
}

TEST_F(LogViewer, ALargeGrowingFileShowsItsNewestPartWithTheCaretOnItsText) {
  // 25,000 lines of 12 bytes: the newest 64 KB begin with line 19,539
  // (the 12 bytes of line 19,538 straddle byte 300,000 - 65,536).
  std::string Lines;
  for (int I = 0; I < 30500; ++I) {
    const std::string Number = std::to_string(100000 + I);
    Lines += "line " + Number + "\n";
  }
  Write("a.log", Lines.substr(0, 25000 * 12));
  auto Viewer = Open();
  auto& Memo = Viewer->mmoLog();
  // 19,539 lines of 12 bytes, 234,468 bytes, are left out: 229 KB.
  const std::u16string Notice = u"Начало файла не показано (229 КБ); весь файл — в папке логов (кнопка с папкой)\n";
  ASSERT_EQ(Memo.Text().substr(0, Notice.size()), Notice);
  EXPECT_EQ(Memo.Text().substr(Notice.size(), 12), u"line 119539\n");
  EXPECT_EQ(Memo.SelStart(), 0);
  // Caret offsets are the window system's (where a line break may count twice).
  const auto CaretAt = [&Memo](std::u16string_view AText) {
    return Memo.NativeLength(std::u16string_view(Memo.Text()).substr(0, Memo.Text().find(AText)));
  };

  // 3,000 more lines are appended; the caret goes onto one of them.
  Write("a.log", Lines.substr(25000 * 12, 3000 * 12), true);
  Touch("a.log", 5);
  Viewer->tmrCheckFileTimer();
  ASSERT_EQ(Memo.Text().substr(0, Notice.size()), Notice);
  Memo.SetSelStart(CaretAt(u"line 127000"));

  // 2,500 more, past 64 + 64 KB in all: they are appended, the oldest lines
  // go back to the newest 64 KB (from line 25,039), and the caret stays on
  // its line.
  Write("a.log", Lines.substr(28000 * 12), true);
  Touch("a.log", 10);
  Viewer->tmrCheckFileTimer();
  // 25,039 lines, 300,468 bytes: 294 KB.
  const std::u16string NewNotice = u"Начало файла не показано (294 КБ); весь файл — в папке логов (кнопка с папкой)\n";
  ASSERT_EQ(Memo.Text().substr(0, NewNotice.size()), NewNotice);
  EXPECT_EQ(Memo.Text().substr(NewNotice.size(), 12), u"line 125039\n");
  EXPECT_EQ(Memo.Text().substr(Memo.Text().size() - 12), u"line 130499\n");
  EXPECT_EQ(Memo.SelStart(), CaretAt(u"line 127000"));
  EXPECT_EQ(Memo.ScrollCaretCount(), 2);
  EXPECT_EQ(Memo.UpdateCount(), 0);

  // Written anew, shorter: read again from its end, whole.
  Write("a.log", "fresh\n");
  Touch("a.log", 20);
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Memo.Text(), u"fresh\n");
}

TEST_F(LogViewer, ADeletedFileIsIgnoredByTheTimerAndFailsWhenPicked) {
  Write("a_2026.12.06.log", "sixth\n");
  Write("a_2026.12.07.log", "seventh\n");
  auto Viewer = Open();
  fs::remove(FFolder / "a_2026.12.07.log");
  EXPECT_NO_THROW(Viewer->tmrCheckFileTimer());
  EXPECT_EQ(Viewer->mmoLog().Text(), u"seventh\n");

  try {
    Viewer->cbbEncoding().Select(1);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find(u"a_2026.12.07.log"), std::u16string::npos);
  }
  EXPECT_EQ(Viewer->mmoLog().Text(), u"seventh\n");
  EXPECT_EQ(Viewer->mmoLog().UpdateCount(), 0);
}

TEST_F(LogViewer, OpeningTheListRefillsItAndClearsTheSelection) {
  Write("a_2026.12.06.log", "sixth\n");
  auto Viewer = Open();
  Write("a_2026.12.07.log", "seventh\n");
  Viewer->cbbLogFiles().DropDown();
  EXPECT_EQ(Viewer->cbbLogFiles().Items().size(), 2u);
  EXPECT_EQ(Viewer->cbbLogFiles().ItemIndex(), -1);
  // The text stays, and nothing is followed until a file is picked.
  EXPECT_EQ(Viewer->mmoLog().Text(), u"sixth\n");
  Write("a_2026.12.06.log", "more\n", true);
  Touch("a_2026.12.06.log", 5);
  Viewer->tmrCheckFileTimer();
  EXPECT_EQ(Viewer->mmoLog().Text(), u"sixth\n");

  Viewer->cbbLogFiles().Select(1);
  EXPECT_EQ(Viewer->mmoLog().Text(), u"seventh\n");
}

}  // namespace
