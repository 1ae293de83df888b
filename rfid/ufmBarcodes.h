#pragma once
// The tag window: a small always-on-top tool window that shows up to eight
// texts as Data Matrix images, two per page on up to four pages, and reports
// a double-click on an image to its owner by the text's index.
//
// The owner (the emulated reader) uses exactly this:
//   - construction: the window is created hidden, without owner, with eight
//     empty texts;
//   - SetBarcode(i, text) / GetBarcode(i), i in 0..7 (anything else raises
//     Exception "Index out of range"); writing only stores the text, the
//     images are rebuilt each time the window becomes visible;
//   - SetOnGetData(handler): called with the index of a double-clicked image,
//     of a tag whose digit key (1 to 8) was pressed, or of a tag that the
//     control tool quorvel-tags presents;
//   - SetOnClearField(handler), SetOnGetField(handler): the tool's "clear"
//     empties the reader's field, and every answer to the tool reports the
//     field (tag numbers 1 to 8) as the owner keeps it;
//   - SetOnFieldCommand(handler): the tool's version-2 commands, which the
//     owner carries out and answers itself;
//   - Show(), Hide(), Visible(): Show places the window at the top right
//     corner of the primary screen (10 pixels down), makes it topmost and
//     rebuilds the images; an encoding error of a text raises out of Show;
//   - SetAlphaBlend(on), SetAlphaBlendValue(0..255), AlphaBlendValue():
//     per-window opacity, on with 235 until the owner sets another.
// Everything runs on the creating thread; double-clicks, keys and the tool's
// commands (platform/ui/CommandChannel.h) arrive through that thread's
// message processing.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Bitmap.h"
#include "platform/ui/CommandChannel.h"
#include "platform/ui/Form.h"

class TfmBarcodes {
public:
  using TOnGetData = std::function<void(std::intptr_t AIndex)>;
  using TOnClearField = std::function<void()>;
  using TOnGetField = std::function<std::vector<int>()>;
  using TOnFieldCommand = std::function<std::string(std::string_view ACommand)>;

  static constexpr int BarcodeCount = 8;
  static constexpr int ImageSize = 80;

  TfmBarcodes();
  TfmBarcodes(const TfmBarcodes&) = delete;
  TfmBarcodes& operator=(const TfmBarcodes&) = delete;
  ~TfmBarcodes() noexcept;

  const std::u16string& GetBarcode(int AIndex) const;
  void SetBarcode(int AIndex, std::u16string AValue);

  const TOnGetData& OnGetData() const noexcept { return FOnGetData; }
  void SetOnGetData(TOnGetData AHandler) { FOnGetData = std::move(AHandler); }
  void SetOnClearField(TOnClearField AHandler) { FOnClearField = std::move(AHandler); }
  void SetOnGetField(TOnGetField AHandler) { FOnGetField = std::move(AHandler); }
  // The tool's version-2 commands (rfid/FieldCommand.h) go to the owner,
  // who keeps the field; the handler must not throw.
  void SetOnFieldCommand(TOnFieldCommand AHandler) { FOnFieldCommand = std::move(AHandler); }

  // Carries out one command of the control tool (rfid/TagCommand.h) and
  // gives the answer; a command that is refused changes nothing.
  std::string RunCommand(std::string_view ACommand) noexcept;
  // The channel through which the tool reaches this window, or null when
  // the system gave none.
  const platform::ui::TCommandChannel* Channel() const noexcept { return FChannel.get(); }

  void Show() { FForm->Show(); }
  void Hide() { FForm->Hide(); }
  bool Visible() const noexcept { return FForm->Visible(); }
  void SetAlphaBlend(bool AAlphaBlend) { FForm->SetAlphaBlend(AAlphaBlend); }
  void SetAlphaBlendValue(std::uint8_t AValue) { FForm->SetAlphaBlendValue(AValue); }
  std::uint8_t AlphaBlendValue() const noexcept { return FForm->AlphaBlendValue(); }

  // The picture of one text (the caller owns it).
  static std::unique_ptr<platform::ui::TBitmap> MakeBarcodeBitmap(int AWidth, int AHeight, std::u16string_view AText);

  // The window itself, for whoever needs to look at it (tests).
  platform::ui::TForm& Form() const noexcept { return *FForm; }
  platform::ui::TPageControl& PageControl() const noexcept { return *FPageControl; }
  platform::ui::TImage& Image(int ANumber) const { return *FImages.at(static_cast<std::size_t>(ANumber - 1)); }
  // Number of bitmaps the window holds for its images.
  std::size_t BitmapCount() const noexcept { return FBitmapList.size(); }

private:
  void CreateComponents();
  void FormCreate();
  void FormDestroy() noexcept;
  void FormShow();
  void ImageDblClick(platform::ui::TImage& ASender);
  void FormKeyPress(char16_t AKey);
  static void CheckIndex(int AIndex);

  std::unique_ptr<platform::ui::TForm> FForm;
  platform::ui::TPageControl* FPageControl = nullptr;
  std::array<platform::ui::TImage*, BarcodeCount> FImages{};
  std::vector<std::u16string> FBarcodes;
  std::vector<std::unique_ptr<platform::ui::TBitmap>> FBitmapList;
  TOnGetData FOnGetData;
  TOnClearField FOnClearField;
  TOnGetField FOnGetField;
  TOnFieldCommand FOnFieldCommand;
  std::unique_ptr<platform::ui::TCommandChannel> FChannel;
};
