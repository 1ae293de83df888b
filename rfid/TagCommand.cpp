#include "rfid/TagCommand.h"

#include <array>
#include <utility>

#include "rfid/CommandTokens.h"

namespace {

struct TErrorName {
  TTagError Error;
  std::string_view Name;
};

constexpr std::array<TErrorName, 6> kErrorNames{{{TTagError::teSyntax, "syntax"},
                                                 {TTagError::teVersion, "version"},
                                                 {TTagError::teVerb, "verb"},
                                                 {TTagError::teLength, "length"},
                                                 {TTagError::teRange, "range"},
                                                 {TTagError::teFailed, "failed"}}};

// A decimal number of at most nine digits, or nothing.
std::optional<int> Number(std::string_view AToken) {
  if (AToken.empty() || AToken.size() > 9) return std::nullopt;
  int Value = 0;
  for (const char C : AToken) {
    if (C < '0' || C > '9') return std::nullopt;
    Value = Value * 10 + (C - '0');
  }
  return Value;
}

bool InRange(int ATag) noexcept { return ATag >= kTagFirst && ATag <= kTagLast; }

TTagParse Refused(TTagError AError) {
  TTagParse Result;
  Result.Error = AError;
  return Result;
}

// "3,5" (or empty): tag numbers in range, or nothing.
std::optional<std::vector<int>> FieldList(std::string_view AText) {
  std::vector<int> Result;
  if (AText.empty()) return Result;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t Comma = AText.find(',', Start);
    const auto Tag = Number(AText.substr(Start, Comma == std::string_view::npos ? std::string_view::npos : Comma - Start));
    if (!Tag || !InRange(*Tag)) return std::nullopt;
    Result.push_back(*Tag);
    if (Comma == std::string_view::npos) return Result;
    Start = Comma + 1;
  }
}

std::string_view VerbName(TTagVerb AVerb) noexcept {
  switch (AVerb) {
    case TTagVerb::tvPresent:
      return "present";
    case TTagVerb::tvClear:
      return "clear";
    case TTagVerb::tvList:
      break;
  }
  return "list";
}

}  // namespace

std::string_view TagErrorName(TTagError AError) noexcept {
  for (const auto& E : kErrorNames)
    if (E.Error == AError) return E.Name;
  return "none";
}

TTagParse ParseTagCommand(std::string_view AText) {
  if (AText.size() > kTagLineLimit) return Refused(TTagError::teLength);
  const auto Parts = CommandTokens(AText);
  if (!Parts || Parts->size() < 2) return Refused(TTagError::teSyntax);
  if ((*Parts)[0] != kTagProtocol) return Refused(TTagError::teVersion);

  TTagParse Result;
  const std::string_view Verb = (*Parts)[1];
  const std::size_t Arguments = Parts->size() - 2;
  if (Verb == "list" || Verb == "clear") {
    if (Arguments != 0) return Refused(TTagError::teSyntax);
    Result.Command.Verb = Verb == "list" ? TTagVerb::tvList : TTagVerb::tvClear;
    return Result;
  }
  if (Verb != "present") return Refused(TTagError::teVerb);
  if (Arguments == 0) return Refused(TTagError::teSyntax);
  Result.Command.Verb = TTagVerb::tvPresent;
  bool OutOfRange = false;
  for (std::size_t I = 2; I < Parts->size(); ++I) {
    const auto Tag = Number((*Parts)[I]);
    if (!Tag) return Refused(TTagError::teSyntax);
    OutOfRange = OutOfRange || !InRange(*Tag);
    Result.Command.Tags.push_back(*Tag);
  }
  if (OutOfRange) return Refused(TTagError::teRange);
  return Result;
}

std::string FormatTagCommand(const TTagCommand& ACommand) {
  std::string Result(kTagProtocol);
  Result += ' ';
  Result += VerbName(ACommand.Verb);
  if (ACommand.Verb == TTagVerb::tvPresent)
    for (const int Tag : ACommand.Tags) Result += ' ' + std::to_string(Tag);
  return Result;
}

std::string FormatTagAnswer(const TTagState& AState) {
  std::string Result(kTagProtocol);
  Result += AState.Shown ? " ok shown=1 field=" : " ok shown=0 field=";
  for (std::size_t I = 0; I < AState.Field.size(); ++I) {
    if (I > 0) Result += ',';
    Result += std::to_string(AState.Field[I]);
  }
  return Result;
}

std::string FormatTagError(TTagError AError) {
  std::string Result(kTagProtocol);
  Result += " error ";
  Result += TagErrorName(AError == TTagError::teNone ? TTagError::teFailed : AError);
  return Result;
}

std::optional<TTagAnswer> ParseTagAnswer(std::string_view AText) {
  if (AText.size() > kTagLineLimit) return std::nullopt;
  const auto Parts = CommandTokens(AText);
  if (!Parts || Parts->size() < 3 || (*Parts)[0] != kTagProtocol) return std::nullopt;
  TTagAnswer Result;
  if ((*Parts)[1] == "error") {
    if (Parts->size() != 3) return std::nullopt;
    for (const auto& E : kErrorNames)
      if (E.Name == (*Parts)[2]) Result.Error = E.Error;
    if (Result.Error == TTagError::teNone) return std::nullopt;
    return Result;
  }
  if ((*Parts)[1] != "ok" || Parts->size() != 4) return std::nullopt;
  const std::string_view Shown = (*Parts)[2];
  const std::string_view Field = (*Parts)[3];
  if (Shown != "shown=0" && Shown != "shown=1") return std::nullopt;
  if (Field.substr(0, 6) != "field=") return std::nullopt;
  auto Tags = FieldList(Field.substr(6));
  if (!Tags) return std::nullopt;
  Result.State.Shown = Shown == "shown=1";
  Result.State.Field = std::move(*Tags);
  return Result;
}
