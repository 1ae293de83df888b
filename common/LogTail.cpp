#include "common/LogTail.h"

#include <algorithm>

#include "common/Text.h"

namespace {

constexpr unsigned CodePageUtf8 = 65001;
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

bool IsUtf8Continuation(char AByte) noexcept { return (static_cast<unsigned char>(AByte) & 0xC0) == 0x80; }

// A cut that found no line start still begins on a whole character.
std::size_t CharacterStartFrom(std::string_view AData, std::size_t APos, unsigned ACodePage) noexcept {
  if (ACodePage == CodePageUtf8)
    while (APos < AData.size() && IsUtf8Continuation(AData[APos])) ++APos;
  return APos;
}

// A cut from APos on: at a line start, or where the text begins when no
// line starts after APos.
std::size_t CutFrom(std::string_view AData, std::size_t APos, unsigned ACodePage) noexcept {
  const std::size_t LineStart = LineStartFrom(AData, APos);
  return LineStart < AData.size() ? LineStart : CharacterStartFrom(AData, APos, ACodePage);
}

std::size_t WholeLength(std::string_view AData, unsigned ACodePage) noexcept {
  return ACodePage == CodePageUtf8 ? CompleteUtf8Length(AData) : AData.size();
}

}  // namespace

std::size_t LineStartFrom(std::string_view AData, std::size_t APos) noexcept {
  if (APos > AData.size()) return AData.size();
  if (APos == 0 || AData[APos - 1] == '\n') return APos;
  const std::size_t Break = AData.find('\n', APos);
  return Break == std::string_view::npos ? AData.size() : Break + 1;
}

std::size_t CompleteUtf8Length(std::string_view AData) noexcept {
  // A sequence is at most four bytes: look back at most three from the end.
  std::size_t Lead = AData.size();
  for (std::size_t Back = 0; Back < 4 && Lead > 0; ++Back) {
    --Lead;
    if (!IsUtf8Continuation(AData[Lead])) break;
  }
  if (Lead == AData.size()) return AData.size();
  const auto Byte = static_cast<unsigned char>(AData[Lead]);
  const std::size_t Length = Byte >= 0xF0 ? 4 : Byte >= 0xE0 ? 3 : Byte >= 0xC0 ? 2 : 1;
  return Lead + Length > AData.size() ? Lead : AData.size();
}

std::u16string LeftOutNotice(std::uint64_t ABytes) {
  constexpr std::uint64_t KB = 1024, MB = 1024 * 1024;
  std::u16string Size;
  if (ABytes < MB) {
    Size = IntToText(static_cast<long long>((ABytes + KB - 1) / KB)) + u" КБ";
  } else {
    const auto Tenths = static_cast<long long>((ABytes * 10 + MB / 2) / MB);
    Size = IntToText(Tenths / 10) + u"," + IntToText(Tenths % 10) + u" МБ";
  }
  return u"Начало файла не показано (" + Size + u"); весь файл — в папке логов (кнопка с папкой)";
}

std::u16string TLogTail::Notice() const { return LeftOutNotice(FShownFrom) + u"\n"; }

std::u16string TLogTail::Reset(const platform::TFilePart& APart, unsigned ACodePage) {
  FCodePage = ACodePage;
  const std::string_view Data(APart.Data);
  std::size_t Start = 0;
  if (APart.Offset > 0) {
    // The byte before Data is unknown: its first line may be a part of one.
    // A last line longer than Data has no start in it: its end is shown,
    // from the first whole character.
    const std::size_t LineStart = LineStartFrom(Data, 1);
    Start = LineStart < Data.size() ? LineStart : CharacterStartFrom(Data, 0, ACodePage);
  } else if (ACodePage == CodePageUtf8 && Data.starts_with(Utf8Bom))
    Start = Utf8Bom.size();
  const std::string_view Shown = Data.substr(Start);
  FShown.assign(Shown.substr(0, WholeLength(Shown, ACodePage)));
  FShownFrom = APart.Offset + Start;
  FCut = APart.Offset > 0;
  std::u16string Text = FCut ? Notice() : std::u16string();
  FNoticeChars = Text.size();
  Text += platform::DecodeCodePage(FShown, FCodePage);
  return Text;
}

std::uint64_t TLogTail::GrowthFrom() const noexcept {
  return FShownFrom + FShown.size() - std::min(CheckBytes, FShown.size());
}

TLogTail::TGrowth TLogTail::Grow(const platform::TFilePart& APart, TEdit& AEdit) {
  const std::uint64_t ShownEnd = FShownFrom + FShown.size();
  const std::uint64_t From = GrowthFrom();
  const auto Checked = static_cast<std::size_t>(ShownEnd - From);
  const std::string_view Data(APart.Data);
  if (APart.Size < ShownEnd || APart.Offset != From || Data.size() < Checked ||
      Data.substr(0, Checked) != std::string_view(FShown).substr(FShown.size() - Checked))
    return TGrowth::gwReload;
  const std::string_view New = Data.substr(Checked);
  const std::string_view Whole = New.substr(0, WholeLength(New, FCodePage));
  if (Whole.empty()) return TGrowth::gwNone;

  AEdit = {};
  AEdit.Tail = platform::DecodeCodePage(Whole, FCodePage);
  FShown += Whole;
  if (FShown.size() > ShownBytes + TrimSlackBytes) {
    const std::size_t Cut = CutFrom(FShown, FShown.size() - ShownBytes, FCodePage);
    AEdit.HeadChars = FNoticeChars + platform::DecodeCodePage(std::string_view(FShown).substr(0, Cut), FCodePage).size();
    FShown.erase(0, Cut);
    FShownFrom += Cut;
    FCut = true;
    AEdit.Head = Notice();
    FNoticeChars = AEdit.Head.size();
  }
  return TGrowth::gwEdit;
}
