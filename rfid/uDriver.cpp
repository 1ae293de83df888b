#include "rfid/uDriver.h"

#include <algorithm>

#include "common/Text.h"
#include "platform/Guid.h"

const std::array<std::u16string_view, kTagCount> TagTIDs = {
    u"E28011002000589616B408A1", u"E28011002000589616B408A2", u"E28011002000589616B408A3",
    u"E28011002000589616B408A4", u"E28011002000589616B408A5", u"E28011002000589616B408A6",
    u"E28011002000589616B408A7", u"E28011002000589616B408A8"};

namespace {

std::vector<std::string> FixedTIDs() {
  std::vector<std::string> Result;
  for (const auto TID : TagTIDs) Result.push_back(ToUtf8(TID));
  return Result;
}

// The driver registers itself with the platform when the library loads.
const bool Registered = TDriver::RegisterDriverAtLoad<TDriver>(
    kDriverExtension, u"Драйвер эмулятор RFID-считывателя", u"Драйвер эмулятор RFID-считывателя 1С:Совместимо NativeAPI");

}  // namespace

TDriver::TDriver() : FRFIDList(FixedTIDs()) {
  FfmBarcodes = std::make_unique<TfmBarcodes>();
  FfmBarcodes->SetOnGetData([this](std::intptr_t AIndex) { DataEvent(AIndex); });
  // The control tool's own additions: it empties the field and reads it.
  FfmBarcodes->SetOnClearField([this] { FRFIDList.Clear(); });
  FfmBarcodes->SetOnGetField([this] {
    std::vector<int> Tags;
    for (const std::int32_t K : FRFIDList.WindowTags()) Tags.push_back(K + 1);
    return Tags;
  });
  FfmBarcodes->SetOnFieldCommand([this](std::string_view ACommand) { return RunFieldCommand(ACommand); });
}

TDriver::~TDriver() noexcept {
  FfmBarcodes.reset();
  FRFIDList.Clear();
}

std::uint8_t TDriver::AlphaFromTransparency(std::int32_t ATransparency) noexcept {
  return static_cast<std::uint8_t>(static_cast<std::uint32_t>(ATransparency) * 10u);
}

void TDriver::Open() {
  TRFIDReaderDriver::Open();
  for (int K = 0; K < kTagCount; ++K) FfmBarcodes->SetBarcode(K, std::u16string(TagTIDs[static_cast<std::size_t>(K)]));
  FfmBarcodes->SetAlphaBlend(true);
  FfmBarcodes->SetAlphaBlendValue(AlphaFromTransparency(FTransparency));
  FfmBarcodes->Show();
}

void TDriver::Close() {
  TRFIDReaderDriver::Close();
  if (FfmBarcodes) FfmBarcodes->Hide();
}

void TDriver::DoDeviceTest(std::u16string& ADescription, std::u16string& ADemoModeInfo) {
  ADescription.clear();
  ADemoModeInfo.clear();
}

void TDriver::DataEvent(std::intptr_t AIndex) {
  if (AIndex < 0 || AIndex >= kTagCount) return;
  FRFIDList.Present(static_cast<std::int32_t>(AIndex));
}

void TDriver::DoOpenSessionRFID() {
  FailIfPending(TFailKind::fkSession);
  std::u16string Guid = platform::NewGuidText();
  // The registry form without its braces: 36 characters.
  if (Guid.size() == 38 && Guid.front() == u'{' && Guid.back() == u'}') Guid = Guid.substr(1, 36);
  FPackageID = std::move(Guid);
  if (V8 != nullptr) V8->ExternalEvent(u"", u"RFID", FPackageID.c_str());
}

void TDriver::DoCloseSessionRFID() { FPackageID.clear(); }

void TDriver::DoGetDataTagsRFID(const std::u16string&, TTagTable& ATable) {
  FailIfPending(TFailKind::fkRead);
  for (const TFieldTag& Entry : FRFIDList.Tags()) {
    const std::int32_t K = Entry.Window;
    if (K >= 0)
      ATable.Add(FfmBarcodes->GetBarcode(K), EPC(K), User(K));
    else
      ATable.Add(Entry.TID, Entry.EPC, Entry.User);
  }
}

void TDriver::DoSaveDataTagRFID(const std::u16string& ATID, const std::u16string& AEPC, const std::u16string& AUser,
                                std::int32_t AMemoryBank) {
  FailIfPending(TFailKind::fkWrite);
  for (int K = 0; K < kTagCount; ++K) {
    const std::u16string& Barcode = FfmBarcodes->GetBarcode(K);
    const bool Match = (Barcode.empty() && ATID.empty()) ||
                       (!Barcode.empty() && !ATID.empty() && SameTextIgnoreAsciiCase(Barcode, ATID));
    if (!Match) continue;
    if (AMemoryBank == 1)
      EPC(K) = AEPC;
    else
      User(K) = AUser;
    return;
  }
  // Then the tags the control tool added, by TID.
  if (TFieldTag* Added = FRFIDList.FindAdded(ATID)) {
    if (AMemoryBank == 1)
      Added->EPC = AEPC;
    else
      Added->User = AUser;
  }
}

std::u16string& TDriver::EPC(int AIndex) {
  static constexpr std::u16string TDriver::*kFields[kTagCount] = {
      &TDriver::FEPC1, &TDriver::FEPC2, &TDriver::FEPC3, &TDriver::FEPC4,
      &TDriver::FEPC5, &TDriver::FEPC6, &TDriver::FEPC7, &TDriver::FEPC8};
  return this->*kFields[AIndex];
}

std::u16string& TDriver::User(int AIndex) {
  static constexpr std::u16string TDriver::*kFields[kTagCount] = {
      &TDriver::FUser1, &TDriver::FUser2, &TDriver::FUser3, &TDriver::FUser4,
      &TDriver::FUser5, &TDriver::FUser6, &TDriver::FUser7, &TDriver::FUser8};
  return this->*kFields[AIndex];
}
