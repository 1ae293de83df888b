#pragma once
// The emulated RFID reader: eight tags with fixed TIDs whose EPC and USER
// memories come from the settings; a double-click on a tag's barcode in the
// tag window puts the tag into the reader's field.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rfid/FieldCommand.h"
#include "rfid/TagField.h"
#include "rfid/uRFIDReaderDriver.h"
#include "rfid/ufmBarcodes.h"

inline constexpr int kTagCount = 8;
extern const std::array<std::u16string_view, kTagCount> TagTIDs;

// The extension name the platform knows the driver by.
inline constexpr char16_t kDriverExtension[] = u"quorvel";

class TDriver : public TRFIDReaderDriver {
  QV_DECLARATIONS(TDriver, TRFIDReaderDriver)

public:
  TDriver();
  ~TDriver() noexcept override;

  void Open() override;
  void Close() override;
  void DoDeviceTest(std::u16string& ADescription, std::u16string& ADemoModeInfo) override;

  void DoOpenSessionRFID() override;
  void DoCloseSessionRFID() override;
  void DoGetDataTagsRFID(const std::u16string& AText, TTagTable& ATable) override;
  void DoSaveDataTagRFID(const std::u16string& ATID, const std::u16string& AEPC, const std::u16string& AUser,
                         std::int32_t AMemoryBank) override;

  // A tag presented to the reader: its index joins the field once.
  void DataEvent(std::intptr_t AIndex);

  // The window tags in the field, by index, in their order.
  std::vector<std::int32_t> RFIDList() const { return FRFIDList.WindowTags(); }
  // Every tag in the field, window tags and added ones.
  const TTagField& Field() const noexcept { return FRFIDList; }
  // Carries out one version-2 command of the control tool
  // (rfid/FieldCommand.h) and gives the answer; a refused command changes
  // nothing.
  std::string RunFieldCommand(std::string_view ACommand) noexcept;
  TfmBarcodes* Barcodes() const noexcept { return FfmBarcodes.get(); }
  // The window's alpha for a Transparency setting: its low 8 bits times 10.
  static std::uint8_t AlphaFromTransparency(std::int32_t ATransparency) noexcept;

  // The settings: opacity step of the tag window, then EPC and USER memory
  // of the eight tags as hexadecimal text.
  QV_EXPORT_PROP_FIELD(Transparency, FTransparency, u"Прозрачность", u"Прозрачность", u"20", false)
  std::int32_t FTransparency = 0;
  QV_EXPORT_PROP_FIELD(EPC1, FEPC1, u"EPC1", u"EPC1", u"", false)
  std::u16string FEPC1;
  QV_EXPORT_PROP_FIELD(EPC2, FEPC2, u"EPC2", u"EPC2", u"", false)
  std::u16string FEPC2;
  QV_EXPORT_PROP_FIELD(EPC3, FEPC3, u"EPC3", u"EPC3", u"", false)
  std::u16string FEPC3;
  QV_EXPORT_PROP_FIELD(EPC4, FEPC4, u"EPC4", u"EPC4", u"", false)
  std::u16string FEPC4;
  QV_EXPORT_PROP_FIELD(EPC5, FEPC5, u"EPC5", u"EPC5", u"", false)
  std::u16string FEPC5;
  QV_EXPORT_PROP_FIELD(EPC6, FEPC6, u"EPC6", u"EPC6", u"", false)
  std::u16string FEPC6;
  QV_EXPORT_PROP_FIELD(EPC7, FEPC7, u"EPC7", u"EPC7", u"", false)
  std::u16string FEPC7;
  QV_EXPORT_PROP_FIELD(EPC8, FEPC8, u"EPC8", u"EPC8", u"", false)
  std::u16string FEPC8;
  QV_EXPORT_PROP_FIELD(USER1, FUser1, u"USER1", u"USER1", u"", false)
  std::u16string FUser1;
  QV_EXPORT_PROP_FIELD(USER2, FUser2, u"USER2", u"USER2", u"", false)
  std::u16string FUser2;
  QV_EXPORT_PROP_FIELD(USER3, FUser3, u"USER3", u"USER3", u"", false)
  std::u16string FUser3;
  QV_EXPORT_PROP_FIELD(USER4, FUser4, u"USER4", u"USER4", u"", false)
  std::u16string FUser4;
  QV_EXPORT_PROP_FIELD(USER5, FUser5, u"USER5", u"USER5", u"", false)
  std::u16string FUser5;
  QV_EXPORT_PROP_FIELD(USER6, FUser6, u"USER6", u"USER6", u"", false)
  std::u16string FUser6;
  QV_EXPORT_PROP_FIELD(USER7, FUser7, u"USER7", u"USER7", u"", false)
  std::u16string FUser7;
  QV_EXPORT_PROP_FIELD(USER8, FUser8, u"USER8", u"USER8", u"", false)
  std::u16string FUser8;

  QV_END_DECLARATIONS()

private:
  std::u16string& EPC(int AIndex);
  std::u16string& User(int AIndex);

  // A failure the control tool asked for: the next Times calls of one kind
  // fail with Message.
  struct TPendingFailure {
    int Times = 0;
    std::u16string Message;
  };

  // Raises the pending failure of AKind, when there is one.
  void FailIfPending(TFailKind AKind);
  TFieldState FieldState() const;
  std::vector<TFieldTagText> FieldTagTexts();
  std::string RunParsedFieldCommand(const TFieldCommand& ACommand);
  void Notify();

  std::unique_ptr<TfmBarcodes> FfmBarcodes;
  TTagField FRFIDList;
  std::array<TPendingFailure, 3> FPendingFailures;
};
