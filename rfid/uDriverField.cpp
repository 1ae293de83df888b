// The emulated reader's side of the control tool's version-2 commands: added
// tags, removals, failures on demand and the field's tags.
#include "common/Exception.h"
#include "common/Text.h"
#include "rfid/uDriver.h"

namespace {

// What a reader driver reports when the reader fails in these ways.
constexpr std::array<std::u16string_view, 3> kDefaultFailureTexts{
    u"Ошибка чтения меток: считыватель не ответил на запрос",
    u"Метка не найдена в поле считывателя",
    u"Не удалось открыть сессию чтения: нет связи со считывателем"};

std::string RefusalWord(TFieldRefusal::TKind AKind) {
  switch (AKind) {
    case TFieldRefusal::frTID:
      return "tid";
    case TFieldRefusal::frHex:
      return "hex";
    case TFieldRefusal::frDuplicate:
      return "duplicate";
    case TFieldRefusal::frLimit:
      return "limit";
    case TFieldRefusal::frUnknown:
      break;
  }
  return "unknown";
}

}  // namespace

void TDriver::FailIfPending(TFailKind AKind) {
  TPendingFailure& Failure = FPendingFailures[static_cast<std::size_t>(AKind)];
  if (Failure.Times <= 0) return;
  --Failure.Times;
  std::u16string Message = Failure.Message;
  if (Failure.Times == 0) Failure.Message.clear();
  throw Exception(std::move(Message));
}

TFieldState TDriver::FieldState() const {
  TFieldState State;
  State.Shown = FfmBarcodes && FfmBarcodes->Visible();
  State.Count = FRFIDList.Tags().size();
  for (const std::int32_t K : FRFIDList.WindowTags()) State.Field.push_back(K + 1);
  for (std::size_t I = 0; I < FPendingFailures.size(); ++I) State.Pending[I] = FPendingFailures[I].Times;
  return State;
}

std::vector<TFieldTagText> TDriver::FieldTagTexts() {
  std::vector<TFieldTagText> Result;
  Result.reserve(FRFIDList.Tags().size());
  for (const TFieldTag& Tag : FRFIDList.Tags()) {
    if (Tag.Window >= 0)
      Result.push_back({Tag.Window + 1, ToUtf8(FfmBarcodes->GetBarcode(Tag.Window)), ToUtf8(EPC(Tag.Window)),
                        ToUtf8(User(Tag.Window))});
    else
      Result.push_back({0, ToUtf8(Tag.TID), ToUtf8(Tag.EPC), ToUtf8(Tag.User)});
  }
  return Result;
}

void TDriver::Notify() {
  if (!FPackageID.empty() && V8 != nullptr) V8->ExternalEvent(u"", u"RFID", FPackageID.c_str());
}

std::string TDriver::RunParsedFieldCommand(const TFieldCommand& ACommand) {
  switch (ACommand.Verb) {
    case TFieldVerb::fvList:
      break;
    case TFieldVerb::fvClear:
      FRFIDList.Clear();
      break;
    case TFieldVerb::fvTags:
      return FormatFieldPage(FieldTagTexts(), ACommand.From);
    case TFieldVerb::fvPresent:
      for (const int Tag : ACommand.Tags) DataEvent(Tag - 1);
      if (ACommand.Notify) Notify();
      break;
    case TFieldVerb::fvAdd:
      if (const auto Refusal = FRFIDList.Add(ACommand.Added))
        return FormatFieldError({RefusalWord(Refusal->Kind), Refusal->Value});
      if (ACommand.Notify) Notify();
      break;
    case TFieldVerb::fvRemove: {
      std::vector<std::int32_t> Window;
      for (const int Tag : ACommand.Tags) Window.push_back(Tag - 1);
      if (const auto Refusal = FRFIDList.Remove(Window, ACommand.TIDs))
        return FormatFieldError({RefusalWord(Refusal->Kind), Refusal->Value});
      break;
    }
    case TFieldVerb::fvFail: {
      const auto Kind = static_cast<std::size_t>(ACommand.Fail);
      std::u16string Message =
          ACommand.Message.empty() ? std::u16string(kDefaultFailureTexts[Kind]) : ToUtf16(ACommand.Message);
      FPendingFailures[Kind] = {ACommand.Times, std::move(Message)};
      break;
    }
    case TFieldVerb::fvFailClear:
      for (auto& Failure : FPendingFailures) Failure = TPendingFailure{};
      break;
  }
  return FormatFieldState(FieldState());
}

std::string TDriver::RunFieldCommand(std::string_view ACommand) noexcept {
  try {
    const TFieldParse Parsed = ParseFieldCommand(ACommand);
    if (!Parsed.Error.Word.empty()) return FormatFieldError(Parsed.Error);
    return RunParsedFieldCommand(Parsed.Command);
  } catch (...) {
    try {
      return FormatFieldError({"failed", {}});
    } catch (...) {
      return {};
    }
  }
}
