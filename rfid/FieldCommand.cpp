#include "rfid/FieldCommand.h"

#include <algorithm>

#include "rfid/CommandTokens.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

std::optional<std::size_t> Number(std::string_view AToken, std::size_t ADigits) {
  if (AToken.empty() || AToken.size() > ADigits) return std::nullopt;
  std::size_t Value = 0;
  for (const char C : AToken) {
    if (C < '0' || C > '9') return std::nullopt;
    Value = Value * 10 + static_cast<std::size_t>(C - '0');
  }
  return Value;
}

TFieldParse Refused(std::string AWord, std::string_view AValue = {}) {
  TFieldParse Result;
  Result.Error = {std::move(AWord), std::string(AValue)};
  return Result;
}

std::vector<std::string_view> Split(std::string_view AText, char ASeparator) {
  std::vector<std::string_view> Result;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t End = AText.find(ASeparator, Start);
    Result.push_back(AText.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start));
    if (End == std::string_view::npos) return Result;
    Start = End + 1;
  }
}

// "3" of the field's window tags, or nothing.
bool WindowNumber(std::string_view AToken, int& ANumber) {
  const auto Value = Number(AToken, 1);
  if (!Value) return false;
  ANumber = static_cast<int>(*Value);
  return true;
}

TFieldParse ParsePresent(const std::vector<std::string_view>& AParts, TFieldParse AResult) {
  std::size_t I = 2;
  if (I < AParts.size() && AParts[I] == "--notify") {
    AResult.Command.Notify = true;
    ++I;
  }
  if (I == AParts.size()) return Refused("syntax");
  for (; I < AParts.size(); ++I) {
    int Tag = 0;
    if (!WindowNumber(AParts[I], Tag)) return Refused("syntax", AParts[I]);
    if (Tag < 1 || Tag > 8) return Refused("range", AParts[I]);
    AResult.Command.Tags.push_back(Tag);
  }
  return AResult;
}

TFieldParse ParseAdd(const std::vector<std::string_view>& AParts, TFieldParse AResult) {
  std::size_t I = 2;
  if (I < AParts.size() && AParts[I] == "--notify") {
    AResult.Command.Notify = true;
    ++I;
  }
  if (I == AParts.size()) return Refused("syntax");
  AResult.Command.Added.reserve(AParts.size() - I);
  for (; I < AParts.size(); ++I) {
    auto Tag = SplitAddedTag(AParts[I]);
    if (!Tag) return Refused("syntax", AParts[I]);
    if (!ValidTagTID(Tag->TID)) return Refused("tid", Tag->TID);
    if (!ValidTagMemory(Tag->EPC)) return Refused("hex", Tag->EPC);
    if (!ValidTagMemory(Tag->User)) return Refused("hex", Tag->User);
    AResult.Command.Added.push_back(std::move(*Tag));
  }
  return AResult;
}

TFieldParse ParseRemove(const std::vector<std::string_view>& AParts, TFieldParse AResult) {
  if (AParts.size() == 2) return Refused("syntax");
  for (std::size_t I = 2; I < AParts.size(); ++I) {
    int Tag = 0;
    if (WindowNumber(AParts[I], Tag)) {
      if (Tag < 1 || Tag > 8) return Refused("range", AParts[I]);
      AResult.Command.Tags.push_back(Tag);
    } else if (ValidTagTID(AParts[I])) {
      AResult.Command.TIDs.emplace_back(AParts[I]);
    } else {
      return Refused("tid", AParts[I]);
    }
  }
  return AResult;
}

TFieldParse ParseFail(const std::vector<std::string_view>& AParts, TFieldParse AResult) {
  if (AParts.size() == 3 && AParts[2] == "clear") {
    AResult.Command.Verb = TFieldVerb::fvFailClear;
    return AResult;
  }
  if (AParts.size() < 4 || AParts.size() > 5) return Refused("syntax");
  const auto Kind = std::find(kFailKindNames.begin(), kFailKindNames.end(), AParts[2]);
  if (Kind == kFailKindNames.end()) return Refused("syntax", AParts[2]);
  AResult.Command.Fail = static_cast<TFailKind>(Kind - kFailKindNames.begin());
  const auto Times = Number(AParts[3], 7);
  if (!Times || *Times < 1 || *Times > static_cast<std::size_t>(kFailTimesLimit)) return Refused("range", AParts[3]);
  AResult.Command.Times = static_cast<int>(*Times);
  if (AParts.size() == 5) {
    auto Message = UnescapeFieldText(AParts[4]);
    if (!Message) return Refused("syntax", AParts[4]);
    AResult.Command.Message = std::move(*Message);
  }
  return AResult;
}

std::string Joined(const std::vector<int>& ANumbers) {
  std::string Result;
  for (std::size_t I = 0; I < ANumbers.size(); ++I) Result += (I ? "," : "") + std::to_string(ANumbers[I]);
  return Result;
}

std::string TagToken(const TFieldTagText& ATag) {
  return std::to_string(ATag.Window) + ":" + EscapeFieldText(ATag.TID) + ":" + EscapeFieldText(ATag.EPC) + ":" +
         EscapeFieldText(ATag.User);
}

std::optional<TFieldAnswer> ParseState(const std::vector<std::string_view>& AParts) {
  if (AParts.size() != 6) return std::nullopt;
  TFieldAnswer Result;
  if (AParts[2] != "shown=0" && AParts[2] != "shown=1") return std::nullopt;
  Result.State.Shown = AParts[2] == "shown=1";
  if (AParts[3].substr(0, 6) != "count=") return std::nullopt;
  const auto Count = Number(AParts[3].substr(6), 9);
  if (!Count) return std::nullopt;
  Result.State.Count = *Count;
  if (AParts[4].substr(0, 6) != "field=") return std::nullopt;
  if (AParts[4].size() > 6) {
    for (const auto Item : Split(AParts[4].substr(6), ',')) {
      int Tag = 0;
      if (!WindowNumber(Item, Tag) || Tag < 1 || Tag > 8) return std::nullopt;
      Result.State.Field.push_back(Tag);
    }
  }
  if (AParts[5].substr(0, 8) != "pending=") return std::nullopt;
  const auto Pending = Split(AParts[5].substr(8), ',');
  if (Pending.size() != 3) return std::nullopt;
  for (std::size_t I = 0; I < 3; ++I) {
    const auto Times = Number(Pending[I], 7);
    if (!Times) return std::nullopt;
    Result.State.Pending[I] = static_cast<int>(*Times);
  }
  return Result;
}

std::optional<TFieldAnswer> ParsePage(const std::vector<std::string_view>& AParts) {
  if (AParts.size() < 4 || AParts[2].substr(0, 6) != "total=" || AParts[3].substr(0, 5) != "next=") return std::nullopt;
  const auto Total = Number(AParts[2].substr(6), 9);
  const auto Next = Number(AParts[3].substr(5), 9);
  if (!Total || !Next) return std::nullopt;
  TFieldAnswer Result;
  TFieldPage Page;
  Page.Total = *Total;
  Page.Next = *Next;
  for (std::size_t I = 4; I < AParts.size(); ++I) {
    const auto Fields = Split(AParts[I], ':');
    if (Fields.size() != 4) return std::nullopt;
    const auto Window = Number(Fields[0], 1);
    auto TID = UnescapeFieldText(Fields[1]);
    auto EPC = UnescapeFieldText(Fields[2]);
    auto User = UnescapeFieldText(Fields[3]);
    if (!Window || *Window > 8 || !TID || !EPC || !User) return std::nullopt;
    Page.Tags.push_back({static_cast<int>(*Window), std::move(*TID), std::move(*EPC), std::move(*User)});
  }
  Result.Page = std::move(Page);
  return Result;
}

}  // namespace

bool IsFieldCommand(std::string_view AText) noexcept {
  return AText.size() > kFieldProtocol.size() && AText.substr(0, kFieldProtocol.size()) == kFieldProtocol &&
         AText[kFieldProtocol.size()] == ' ';
}

std::string EscapeFieldText(std::string_view AText) {
  std::string Result;
  Result.reserve(AText.size());
  for (const char C : AText) {
    const auto Byte = static_cast<unsigned char>(C);
    if (Byte < 0x21 || Byte > 0x7E || C == '%' || C == ':' || C == ',') {
      Result += '%';
      Result += kHex[Byte >> 4];
      Result += kHex[Byte & 0xF];
    } else {
      Result += C;
    }
  }
  return Result;
}

std::optional<std::string> UnescapeFieldText(std::string_view AText) {
  auto Nibble = [](char C) -> int {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
  };
  std::string Result;
  for (std::size_t I = 0; I < AText.size(); ++I) {
    if (AText[I] != '%') {
      Result += AText[I];
      continue;
    }
    if (I + 2 >= AText.size()) return std::nullopt;
    const int High = Nibble(AText[I + 1]);
    const int Low = Nibble(AText[I + 2]);
    if (High < 0 || Low < 0) return std::nullopt;
    Result += static_cast<char>(High * 16 + Low);
    I += 2;
  }
  return Result;
}

std::optional<TAddedTag> SplitAddedTag(std::string_view AToken) {
  const auto Parts = Split(AToken, ':');
  if (Parts.size() > 3) return std::nullopt;
  TAddedTag Tag;
  Tag.TID = Parts[0];
  if (Parts.size() > 1) Tag.EPC = Parts[1];
  if (Parts.size() > 2) Tag.User = Parts[2];
  return Tag;
}

TFieldParse ParseFieldCommand(std::string_view AText) {
  if (AText.size() > kFieldLineLimit) return Refused("length");
  const auto Parts = CommandTokens(AText);
  if (!Parts || Parts->size() < 2) return Refused("syntax");
  if ((*Parts)[0] != kFieldProtocol) return Refused("version");
  TFieldParse Result;
  const std::string_view Verb = (*Parts)[1];
  if (Verb == "list" || Verb == "clear") {
    if (Parts->size() != 2) return Refused("syntax");
    Result.Command.Verb = Verb == "list" ? TFieldVerb::fvList : TFieldVerb::fvClear;
    return Result;
  }
  if (Verb == "tags") {
    const auto From = Parts->size() == 3 ? Number((*Parts)[2], 9) : std::nullopt;
    if (!From) return Refused("syntax");
    Result.Command.Verb = TFieldVerb::fvTags;
    Result.Command.From = *From;
    return Result;
  }
  if (Verb == "present") {
    Result.Command.Verb = TFieldVerb::fvPresent;
    return ParsePresent(*Parts, std::move(Result));
  }
  if (Verb == "add") {
    Result.Command.Verb = TFieldVerb::fvAdd;
    return ParseAdd(*Parts, std::move(Result));
  }
  if (Verb == "remove") {
    Result.Command.Verb = TFieldVerb::fvRemove;
    return ParseRemove(*Parts, std::move(Result));
  }
  if (Verb == "fail") {
    Result.Command.Verb = TFieldVerb::fvFail;
    return ParseFail(*Parts, std::move(Result));
  }
  return Refused("verb", Verb);
}

std::string FormatFieldCommand(const TFieldCommand& ACommand) {
  std::string Result(kFieldProtocol);
  const auto& C = ACommand;
  switch (C.Verb) {
    case TFieldVerb::fvList:
      return Result + " list";
    case TFieldVerb::fvClear:
      return Result + " clear";
    case TFieldVerb::fvTags:
      return Result + " tags " + std::to_string(C.From);
    case TFieldVerb::fvFailClear:
      return Result + " fail clear";
    case TFieldVerb::fvFail:
      Result += " fail " + std::string(kFailKindNames[static_cast<std::size_t>(C.Fail)]) + " " + std::to_string(C.Times);
      if (!C.Message.empty()) Result += " " + EscapeFieldText(C.Message);
      return Result;
    case TFieldVerb::fvPresent:
      Result += C.Notify ? " present --notify" : " present";
      for (const int Tag : C.Tags) Result += " " + std::to_string(Tag);
      return Result;
    case TFieldVerb::fvRemove:
      Result += " remove";
      for (const int Tag : C.Tags) Result += " " + std::to_string(Tag);
      for (const auto& TID : C.TIDs) Result += " " + TID;
      return Result;
    case TFieldVerb::fvAdd:
      break;
  }
  Result += C.Notify ? " add --notify" : " add";
  for (const auto& Tag : C.Added) {
    Result += " " + Tag.TID;
    if (!Tag.EPC.empty() || !Tag.User.empty()) Result += ":" + Tag.EPC;
    if (!Tag.User.empty()) Result += ":" + Tag.User;
  }
  return Result;
}

std::string FormatFieldState(const TFieldState& AState) {
  std::string Result(kFieldProtocol);
  Result += AState.Shown ? " ok shown=1" : " ok shown=0";
  Result += " count=" + std::to_string(AState.Count) + " field=" + Joined(AState.Field) + " pending=" +
            std::to_string(AState.Pending[0]) + "," + std::to_string(AState.Pending[1]) + "," +
            std::to_string(AState.Pending[2]);
  return Result;
}

std::string FormatFieldError(const TFieldError& AError) {
  std::string Result(kFieldProtocol);
  Result += " error " + (AError.Word.empty() ? std::string("failed") : AError.Word);
  if (!AError.Value.empty()) Result += " " + EscapeFieldText(AError.Value.substr(0, 128));
  return Result;
}

std::string FormatFieldPage(const std::vector<TFieldTagText>& ATags, std::size_t AFrom) {
  std::string Items;
  std::size_t Next = std::min(AFrom, ATags.size());
  for (; Next < ATags.size(); ++Next) {
    const std::string Token = " " + TagToken(ATags[Next]);
    if (!Items.empty() && Items.size() + Token.size() > kFieldPageLimit) break;
    Items += Token;
  }
  return std::string(kFieldProtocol) + " tags total=" + std::to_string(ATags.size()) + " next=" + std::to_string(Next) +
         Items;
}

std::optional<TFieldAnswer> ParseFieldAnswer(std::string_view AText) {
  if (AText.size() > kFieldAnswerLimit) return std::nullopt;
  const auto Parts = CommandTokens(AText);
  if (!Parts || Parts->size() < 3 || (*Parts)[0] != kFieldProtocol) return std::nullopt;
  if ((*Parts)[1] == "ok") return ParseState(*Parts);
  if ((*Parts)[1] == "tags") return ParsePage(*Parts);
  if ((*Parts)[1] != "error" || Parts->size() > 4) return std::nullopt;
  TFieldAnswer Result;
  Result.Error.Word = (*Parts)[2];
  if (Parts->size() == 4) {
    auto Value = UnescapeFieldText((*Parts)[3]);
    if (!Value) return std::nullopt;
    Result.Error.Value = std::move(*Value);
  }
  return Result;
}
