#pragma once
// The part of a log file the log viewer shows: the newest part of the file,
// about ShownBytes of it, cut at a line start, with a first line telling
// how much is left out. A file that has only grown is followed by reading
// its new bytes alone; anything else (a shorter file, other bytes where the
// shown ones were, a new encoding) is read again from its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/TextFile.h"

class TLogTail {
public:
  // About this much text keeps the viewer's text box quick to fill.
  static constexpr std::size_t ShownBytes = 64 * 1024;
  // A growing file drops its oldest shown lines once this much more than
  // ShownBytes is shown, back to ShownBytes: the text box then changes at
  // its head only every few growths, a change that costs as much as a
  // growth itself.
  static constexpr std::size_t TrimSlackBytes = 64 * 1024;
  // How many of the last shown bytes a growth read compares with the file.
  static constexpr std::size_t CheckBytes = 64;

  // The text box's whole text for a file read from its end: pass
  // the file's last ShownBytes (ReadFileEndDenyWrite from 0).
  std::u16string Reset(const platform::TFilePart& APart, unsigned ACodePage);

  // Where the next growth read starts (ReadFileEndDenyWrite from here,
  // at most GrowthReadBytes); only after Reset.
  std::uint64_t GrowthFrom() const noexcept;
  static constexpr std::size_t GrowthReadBytes = ShownBytes + CheckBytes;

  // What a growth read changes in the text box: replace its first HeadChars
  // characters by Head, then append Tail.
  struct TEdit {
    std::size_t HeadChars = 0;
    std::u16string Head;
    std::u16string Tail;
  };
  enum class TGrowth { gwNone, gwEdit, gwReload };
  // gwReload: the file is not the one shown plus new bytes (or grew by more
  // than can be shown); read it again from its end and Reset.
  TGrowth Grow(const platform::TFilePart& APart, TEdit& AEdit);

  // Bytes of the file before the shown part (a byte-order mark skipped at
  // its very start counts as shown).
  std::uint64_t LeftOut() const noexcept { return FCut ? FShownFrom : 0; }

private:
  std::u16string Notice() const;

  unsigned FCodePage = 65001;
  std::string FShown;            // the shown bytes
  std::uint64_t FShownFrom = 0;  // where they begin in the file
  bool FCut = false;             // whether the beginning of the file is left out
  std::size_t FNoticeChars = 0;  // the first line's length in the text box, line break included
};

// The first line start in AData at or after APos: APos itself when a line
// ends just before it (or APos is 0), else just after the next line break;
// AData.size() when there is none.
std::size_t LineStartFrom(std::string_view AData, std::size_t APos) noexcept;

// AData without an incomplete UTF-8 sequence at its end (one a writer may
// still be completing).
std::size_t CompleteUtf8Length(std::string_view AData) noexcept;

// The first line of a text box that shows only the end of a file, without
// its line break: how much of the file is left out, and where the whole
// file is.
std::u16string LeftOutNotice(std::uint64_t ABytes);
