// The shown part of a large or growing log: where it is cut, what a growth
// appends and drops, and when the file has to be read again.
#include <gtest/gtest.h>

#include <string>

#include "common/LogTail.h"

using platform::TFilePart;

namespace {

// Lines "line 000000\n" .. of 12 bytes each.
std::string Lines(int AFirst, int ACount) {
  std::string Result;
  for (int I = AFirst; I < AFirst + ACount; ++I) {
    std::string Number = std::to_string(I);
    Result += "line " + std::string(6 - Number.size(), '0') + Number + "\n";
  }
  return Result;
}

// What ReadFileEndDenyWrite gives for AFile.
TFilePart EndOf(const std::string& AFile, std::uint64_t AFrom, std::size_t AMax) {
  const std::uint64_t Size = AFile.size();
  const std::uint64_t Offset = std::min(Size, std::max(AFrom, Size > AMax ? Size - AMax : 0));
  return {AFile.substr(Offset), Offset, Size};
}

TEST(LogTail, LineStartsAndIncompleteCharacters) {
  EXPECT_EQ(LineStartFrom("ab\ncd\n", 0), 0u);
  EXPECT_EQ(LineStartFrom("ab\ncd\n", 1), 3u);
  EXPECT_EQ(LineStartFrom("ab\ncd\n", 3), 3u);
  EXPECT_EQ(LineStartFrom("ab\ncd", 4), 5u);  // none: the end
  // "Я" is D0 AF, "€" E2 82 AC, "😀" F0 9F 98 80.
  EXPECT_EQ(CompleteUtf8Length("a\xD0\xAF"), 3u);
  EXPECT_EQ(CompleteUtf8Length("a\xD0"), 1u);
  EXPECT_EQ(CompleteUtf8Length("a\xE2\x82"), 1u);
  EXPECT_EQ(CompleteUtf8Length("a\xF0\x9F\x98"), 1u);
  EXPECT_EQ(CompleteUtf8Length("a\xF0\x9F\x98\x80"), 5u);
  EXPECT_EQ(CompleteUtf8Length(""), 0u);
  EXPECT_EQ(LeftOutNotice(1536), u"Начало файла не показано (2 КБ); весь файл — в папке логов (кнопка с папкой)");
  EXPECT_EQ(LeftOutNotice(50u * 1024 * 1024 + 60 * 1024).substr(0, 33), u"Начало файла не показано (50,1 МБ");
}

TEST(LogTail, AShortFileIsShownWholeWithoutItsByteOrderMark) {
  TLogTail Tail;
  EXPECT_EQ(Tail.Reset(EndOf("\xEF\xBB\xBFone\ntwo", 0, TLogTail::ShownBytes), 65001), u"one\ntwo");
  EXPECT_EQ(Tail.LeftOut(), 0u);
  // In a single-byte code page the mark is text like any other.
  EXPECT_EQ(Tail.Reset(EndOf("\xEF\xBB\xBF", 0, TLogTail::ShownBytes), 1251), u"\u043F\u00BB\u0457");
}

TEST(LogTail, ALongFileShowsItsNewestLinesFromALineStart) {
  // 25,000 lines, 300,000 bytes: the last 65,536 begin inside line 19,538
  // (at 234,456), so the text starts with line 19,539 at byte 234,468.
  const std::string File = Lines(0, 25000);
  TLogTail Tail;
  const std::u16string Text = Tail.Reset(EndOf(File, 0, TLogTail::ShownBytes), 65001);
  EXPECT_EQ(Tail.LeftOut(), 234468u);
  const std::u16string Notice = LeftOutNotice(234468) + u"\n";
  ASSERT_EQ(Text.substr(0, Notice.size()), Notice);
  EXPECT_EQ(Text.substr(Notice.size(), 12), u"line 019539\n");
  EXPECT_EQ(Text.size(), Notice.size() + 300000 - 234468);
}

// One traced call with a long parameter: the last 64 KB hold no line break.
TEST(LogTail, ALastLineLongerThanTheShownPartShowsItsEnd) {
  const std::u16string Notice =
      u"Начало файла не показано (34 КБ); весь файл — в папке логов (кнопка с папкой)\n";
  const std::string Ascii = "head\n" + std::string(100000, 'x') + "END";  // 100,008 bytes
  TLogTail Tail;
  std::u16string Text = Tail.Reset(EndOf(Ascii, 0, TLogTail::ShownBytes), 65001);
  EXPECT_EQ(Tail.LeftOut(), 34472u);
  ASSERT_EQ(Text.size(), Notice.size() + 65536);
  EXPECT_EQ(Text.substr(0, Notice.size()), Notice);
  EXPECT_EQ(Text.substr(Notice.size()), std::u16string(65533, u'x') + u"END");
  // "Я" is two bytes: the last 65,536 bytes of these 100,003 begin on the
  // second byte of one, which is left out with the rest of it.
  std::string Cyrillic = "a\n";
  for (int I = 0; I < 50000; ++I) Cyrillic += "\xD0\xAF";
  Cyrillic += "!";
  Text = Tail.Reset(EndOf(Cyrillic, 0, TLogTail::ShownBytes), 65001);
  EXPECT_EQ(Tail.LeftOut(), 34468u);
  ASSERT_EQ(Text.size(), Notice.size() + 32768);
  EXPECT_EQ(Text.substr(0, Notice.size()), Notice);
  EXPECT_EQ(Text.substr(Notice.size()), std::u16string(32767, u'Я') + u"!");
}

TEST(LogTail, GrowthAppendsTheNewBytesAndDropsTheOldestLines) {
  std::string File = Lines(0, 25000);
  TLogTail Tail;
  const std::u16string First = Tail.Reset(EndOf(File, 0, TLogTail::ShownBytes), 65001);
  TLogTail::TEdit Edit;
  EXPECT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwNone);

  // 20 more lines are appended, and nothing is dropped yet.
  File += Lines(25000, 20);
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.Tail.size(), 240u);
  EXPECT_EQ(Edit.Tail.substr(0, 11), u"line 025000");
  EXPECT_EQ(Edit.HeadChars, 0u);
  EXPECT_TRUE(Edit.Head.empty());

  // 2,700 more, then 2,780 more: 131,532 shown bytes, past 64 + 64 KB. Back
  // to 65,536 or less from a line start: 66,000 bytes (the oldest 5,500
  // lines) go.
  File += Lines(25020, 2700);
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.HeadChars, 0u);
  File += Lines(27720, 2780);
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.Tail.size(), 2780u * 12);
  EXPECT_EQ(Edit.HeadChars, LeftOutNotice(234468).size() + 1 + 66000);
  EXPECT_EQ(Edit.Head, LeftOutNotice(300468) + u"\n");
  EXPECT_EQ(Tail.LeftOut(), 300468u);

  // A character still being written waits until it is whole.
  File += "\xD0";
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwNone);
  File += "\xAF\n";
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.Tail, u"Я\n");
  EXPECT_EQ(Edit.HeadChars, 0u);
}

TEST(LogTail, AFileThatIsNotTheShownOnePlusNewBytesIsReadAgain) {
  const std::string File = Lines(0, 100);
  TLogTail Tail;
  TLogTail::TEdit Edit;
  Tail.Reset(EndOf(File, 0, TLogTail::ShownBytes), 65001);
  // Shorter.
  EXPECT_EQ(Tail.Grow(EndOf(File.substr(0, 600), Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit),
            TLogTail::TGrowth::gwReload);
  // As long and longer, but other bytes where the shown ones end.
  std::string Replaced = File;
  Replaced[File.size() - 2] = 'X';
  EXPECT_EQ(Tail.Grow(EndOf(Replaced + "new\n", Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit),
            TLogTail::TGrowth::gwReload);
  // Grown by more than can be shown.
  EXPECT_EQ(Tail.Grow(EndOf(File + Lines(100, 20000), Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit),
            TLogTail::TGrowth::gwReload);
  // Still the same file: its growth is taken.
  EXPECT_EQ(Tail.Grow(EndOf(File + "new\n", Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit),
            TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.Tail, u"new\n");
  EXPECT_EQ(Edit.HeadChars, 0u);
}

TEST(LogTail, SingleByteCodePagesAreCutAndFollowedAlike) {
  // 866: "Привет\n" is 8F E0 A8 A2 A5 E2 0A.
  std::string File;
  for (int I = 0; I < 20000; ++I) File += "\x8F\xE0\xA8\xA2\xA5\xE2\n";
  TLogTail Tail;
  const std::u16string Text = Tail.Reset(EndOf(File, 0, TLogTail::ShownBytes), 866);
  // The last 65,536 bytes begin inside a line (140,000 - 65,536 = 74,464 =
  // 10,637 lines and 5 bytes): the text starts at line 10,638.
  EXPECT_EQ(Tail.LeftOut(), 10638u * 7);
  EXPECT_EQ(Text.substr(Text.find(u'\n') + 1, 7), u"Привет\n");
  TLogTail::TEdit Edit;
  File += "\xE2\n";
  ASSERT_EQ(Tail.Grow(EndOf(File, Tail.GrowthFrom(), TLogTail::GrowthReadBytes), Edit), TLogTail::TGrowth::gwEdit);
  EXPECT_EQ(Edit.Tail, u"т\n");
}

}  // namespace
