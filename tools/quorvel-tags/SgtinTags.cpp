#include "quorvel-tags/SgtinTags.h"

namespace quorvel_tags {

namespace {

std::optional<unsigned long long> Decimal(std::string_view AText) {
  if (AText.empty() || AText.size() > 18) return std::nullopt;
  unsigned long long Value = 0;
  for (const char C : AText) {
    if (C < '0' || C > '9') return std::nullopt;
    Value = Value * 10 + static_cast<unsigned long long>(C - '0');
  }
  return Value;
}

}  // namespace

std::optional<std::vector<std::string>> SerialRange(std::string_view ARange, std::string& AError) {
  const std::size_t Dash = ARange.find('-');
  const auto First = Decimal(ARange.substr(0, Dash));
  const auto Last = Dash == std::string_view::npos ? First : Decimal(ARange.substr(Dash + 1));
  if (!First || !Last || *First > *Last) {
    AError = "--serials \"" + std::string(ARange) + "\" is no range FIRST-LAST of decimal serials, FIRST <= LAST";
    return std::nullopt;
  }
  if (*Last - *First >= kMaxAddedTags) {
    AError = "--serials " + std::string(ARange) + " asks for more than " + std::to_string(kMaxAddedTags) +
             " tags, more than a reader holds";
    return std::nullopt;
  }
  std::vector<std::string> Serials;
  for (unsigned long long S = *First; S <= *Last; ++S) Serials.push_back(std::to_string(S));
  return Serials;
}

std::optional<std::string> NextTID(std::string_view ATID) {
  std::string Result = UpperAscii(ATID);
  for (std::size_t I = Result.size(); I-- > 0;) {
    char& C = Result[I];
    if (C == 'F') {
      C = '0';
      continue;
    }
    C = C == '9' ? 'A' : static_cast<char>(C + 1);
    return Result;
  }
  return std::nullopt;
}

std::optional<std::vector<TAddedTag>> SgtinTags(const TSgtinRequest& ARequest,
                                                const std::unordered_set<std::string>& ATaken, std::string& AError) {
  if (!ValidTagTID(ARequest.TIDStart)) {
    AError = "--tid-start \"" + ARequest.TIDStart + "\" is not 8 to 64 hexadecimal digits, an even count";
    return std::nullopt;
  }
  std::vector<TAddedTag> Tags;
  Tags.reserve(ARequest.Serials.size());
  std::optional<std::string> TID = UpperAscii(ARequest.TIDStart);
  for (const auto& Serial : ARequest.Serials) {
    const auto Sgtin =
        MakeSgtin(ARequest.Gtin, Serial, ARequest.Filter, ARequest.PrefixLength, ARequest.Scheme, AError);
    if (!Sgtin) return std::nullopt;
    auto EPC = EncodeSgtin(*Sgtin, AError);
    if (!EPC) return std::nullopt;
    while (TID && ATaken.count(*TID) != 0) TID = NextTID(*TID);
    if (!TID) {
      AError = "the TIDs counted up from " + ARequest.TIDStart + " ran out: give another --tid-start";
      return std::nullopt;
    }
    Tags.push_back({*TID, std::move(*EPC), {}});
    TID = NextTID(*TID);
  }
  return Tags;
}

}  // namespace quorvel_tags
