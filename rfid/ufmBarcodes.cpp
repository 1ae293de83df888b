#include "rfid/ufmBarcodes.h"

#include "common/Exception.h"
#include "common/Text.h"
#include "rfid/BarcodeBitmap.h"
#include "rfid/FieldCommand.h"
#include "rfid/TagCommand.h"

using namespace platform::ui;

namespace {

constexpr int PageCount = 4;
constexpr int ImagesPerPage = 2;
// Images are left-aligned with 3 pixels of margin on either side.
constexpr int ImageMargin = 3;
constexpr std::uint8_t DesignAlphaBlendValue = 235;

TFormDesign Design() {
  TFormDesign D;
  D.Caption = u"Эмулятор RFID";
  D.BorderStyle = TBorderStyle::bsToolWindow;
  D.Left = 0;
  D.Top = 0;
  D.ClientWidth = 185;
  D.ClientHeight = 111;
  D.Color = clWhite;
  D.FontName = u"Tahoma";
  D.FontHeight = -11;
  D.AlphaBlend = true;
  D.AlphaBlendValue = DesignAlphaBlendValue;
  return D;
}

}  // namespace

TfmBarcodes::TfmBarcodes() : FForm(std::make_unique<TForm>(Design())) {
  CreateComponents();
  FormCreate();
  FForm->OnShow = [this] { FormShow(); };
  FForm->OnKeyPress = [this](char16_t AKey) { FormKeyPress(AKey); };
  FChannel = OpenCommandChannel(*FForm, {kTagLineLimit, std::string(kFieldProtocol) + " ", kFieldLineLimit},
                                [this](std::string_view ACommand) { return RunCommand(ACommand); });
}

TfmBarcodes::~TfmBarcodes() noexcept {
  FChannel.reset();
  FForm.reset();
  FormDestroy();
}

void TfmBarcodes::CreateComponents() {
  FPageControl = &FForm->AddPageControl(u"PageControl", {u"1", u"2", u"3", u"4"});
  for (int I = 0; I < BarcodeCount; ++I) {
    const int Page = I / ImagesPerPage;
    const int Left = ImageMargin + (I % ImagesPerPage) * (ImageSize + 2 * ImageMargin);
    FImages[static_cast<std::size_t>(I)] =
        &FForm->AddImage(u"Image" + IntToText(I + 1), *FPageControl, Page, {Left, 0, ImageSize, ImageSize});
  }
  FPageControl->SetActivePage(0);
}

void TfmBarcodes::FormCreate() {
  FBarcodes.assign(BarcodeCount, std::u16string());
  FBitmapList.clear();
}

void TfmBarcodes::FormDestroy() noexcept { FBitmapList.clear(); }

void TfmBarcodes::CheckIndex(int AIndex) {
  if (AIndex < 0 || AIndex >= BarcodeCount) throw Exception(u"Index out of range");
}

const std::u16string& TfmBarcodes::GetBarcode(int AIndex) const {
  CheckIndex(AIndex);
  return FBarcodes[static_cast<std::size_t>(AIndex)];
}

void TfmBarcodes::SetBarcode(int AIndex, std::u16string AValue) {
  CheckIndex(AIndex);
  FBarcodes[static_cast<std::size_t>(AIndex)] = std::move(AValue);
}

std::unique_ptr<TBitmap> TfmBarcodes::MakeBarcodeBitmap(int AWidth, int AHeight, std::u16string_view AText) {
  return MakeDataMatrixBitmap(AWidth, AHeight, AText);
}

void TfmBarcodes::FormShow() {
  for (int Page = 0; Page < PageCount; ++Page) FPageControl->SetTabVisible(Page, false);

  FForm->SetPosition(PrimaryScreenWidth() - FForm->Width(), 10);
  FForm->MakeTopmost();

  // The images keep copies of their pictures, so the bitmaps of the previous
  // show are no longer needed: keeping them would grow the window with every
  // show.
  FBitmapList.clear();
  int Count = 0;
  for (std::size_t I = 0; I < FBarcodes.size(); ++I) {
    const auto& Text = FBarcodes[I];
    if (Text.empty()) continue;
    ++Count;
    auto* Image = dynamic_cast<TImage*>(FForm->FindComponent(u"Image" + IntToText(Count)));
    if (!Image) continue;
    FBitmapList.push_back(MakeBarcodeBitmap(ImageSize, ImageSize, Text));
    Image->SetPicture(*FBitmapList.back());
    Image->SetTag(static_cast<std::intptr_t>(I));
    Image->SetVisible(true);
    Image->SetHint(Text);
    Image->SetShowHint(true);
    Image->OnDblClick = [this](TImage& ASender) { ImageDblClick(ASender); };
  }

  if (Count % 2 != 0) ++Count;
  const int Pages = Count / 2;
  for (int Page = Pages; Page >= 1; --Page) FPageControl->SetTabVisible(Page - 1, true);
  if (Pages > 1) FPageControl->SetActivePage(0);
}

void TfmBarcodes::ImageDblClick(TImage& ASender) {
  if (FOnGetData) FOnGetData(ASender.Tag());
}

// The digit keys 1 to 8 present their tags as a double-click does.
void TfmBarcodes::FormKeyPress(char16_t AKey) {
  if (AKey >= u'1' && AKey < u'1' + BarcodeCount && FOnGetData) FOnGetData(AKey - u'1');
}

std::string TfmBarcodes::RunCommand(std::string_view ACommand) noexcept {
  try {
    if (FOnFieldCommand && IsFieldCommand(ACommand)) return FOnFieldCommand(ACommand);
    const TTagParse Parsed = ParseTagCommand(ACommand);
    if (Parsed.Error != TTagError::teNone) return FormatTagError(Parsed.Error);
    const TTagCommand& Command = Parsed.Command;
    if (Command.Verb == TTagVerb::tvPresent && FOnGetData)
      for (const int Tag : Command.Tags) FOnGetData(Tag - 1);
    if (Command.Verb == TTagVerb::tvClear && FOnClearField) FOnClearField();
    TTagState State;
    State.Shown = Visible();
    if (FOnGetField) State.Field = FOnGetField();
    return FormatTagAnswer(State);
  } catch (...) {
    try {
      return FormatTagError(TTagError::teFailed);
    } catch (...) {
      return {};
    }
  }
}
