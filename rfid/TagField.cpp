#include "rfid/TagField.h"

#include <algorithm>
#include <set>

#include "common/Text.h"

namespace {

bool HexDigit(char C) noexcept { return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'F') || (C >= 'a' && C <= 'f'); }

bool AllHex(std::string_view AText) noexcept { return std::all_of(AText.begin(), AText.end(), HexDigit); }

std::u16string Wide(std::string_view AAscii) { return std::u16string(AAscii.begin(), AAscii.end()); }

}  // namespace

bool ValidTagTID(std::string_view ATID) noexcept {
  return ATID.size() >= kMinTIDDigits && ATID.size() <= kMaxTIDDigits && ATID.size() % 2 == 0 && AllHex(ATID);
}

bool ValidTagMemory(std::string_view AHex) noexcept { return AHex.size() % 2 == 0 && AllHex(AHex); }

std::string UpperAscii(std::string_view AText) {
  std::string Result(AText);
  for (char& C : Result)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Result;
}

TTagField::TTagField(std::vector<std::string> AFixedTIDs) : FFixedTIDs(std::move(AFixedTIDs)) {
  for (auto& TID : FFixedTIDs) TID = UpperAscii(TID);
}

std::vector<std::int32_t> TTagField::WindowTags() const {
  std::vector<std::int32_t> Result;
  for (const auto& Tag : FTags)
    if (Tag.Window >= 0) Result.push_back(Tag.Window);
  return Result;
}

bool TTagField::Present(std::int32_t AIndex) {
  for (const auto& Tag : FTags)
    if (Tag.Window == AIndex) return false;
  TFieldTag Tag;
  Tag.Window = AIndex;
  FTags.push_back(std::move(Tag));
  return true;
}

std::optional<TFieldRefusal> TTagField::Add(const std::vector<TAddedTag>& ATags) {
  if (FAddedTIDs.size() + ATags.size() > kMaxAddedTags)
    return TFieldRefusal{TFieldRefusal::frLimit, std::to_string(kMaxAddedTags - FAddedTIDs.size())};
  std::unordered_set<std::string> New;
  for (const auto& Tag : ATags) {
    if (!ValidTagTID(Tag.TID)) return TFieldRefusal{TFieldRefusal::frTID, Tag.TID};
    if (!ValidTagMemory(Tag.EPC)) return TFieldRefusal{TFieldRefusal::frHex, Tag.EPC};
    if (!ValidTagMemory(Tag.User)) return TFieldRefusal{TFieldRefusal::frHex, Tag.User};
    std::string TID = UpperAscii(Tag.TID);
    const bool Fixed = std::find(FFixedTIDs.begin(), FFixedTIDs.end(), TID) != FFixedTIDs.end();
    if (Fixed || FAddedTIDs.count(TID) != 0 || !New.insert(std::move(TID)).second)
      return TFieldRefusal{TFieldRefusal::frDuplicate, Tag.TID};
  }
  FTags.reserve(FTags.size() + ATags.size());
  FAddedTIDs.reserve(FAddedTIDs.size() + ATags.size());
  for (const auto& Tag : ATags) {
    TFieldTag Added;
    const std::string TID = UpperAscii(Tag.TID);
    Added.TID = Wide(TID);
    Added.EPC = Wide(UpperAscii(Tag.EPC));
    Added.User = Wide(UpperAscii(Tag.User));
    FTags.push_back(std::move(Added));
    FAddedTIDs.insert(TID);
  }
  return std::nullopt;
}

std::optional<TFieldRefusal> TTagField::Remove(const std::vector<std::int32_t>& AWindow,
                                               const std::vector<std::string>& ATIDs) {
  // One pass over the field, however many tags go: the window tags by
  // index (also when named by their fixed TID), the added ones by TID.
  std::set<std::int32_t> Windows(AWindow.begin(), AWindow.end());
  std::unordered_set<std::string> Added;
  for (const auto& TID : ATIDs) {
    std::string Upper = UpperAscii(TID);
    const auto Fixed = std::find(FFixedTIDs.begin(), FFixedTIDs.end(), Upper);
    if (Fixed != FFixedTIDs.end())
      Windows.insert(static_cast<std::int32_t>(Fixed - FFixedTIDs.begin()));
    else if (FAddedTIDs.count(Upper) != 0)
      Added.insert(std::move(Upper));
    else
      return TFieldRefusal{TFieldRefusal::frUnknown, TID};
  }
  std::vector<TFieldTag> Kept;
  Kept.reserve(FTags.size());
  std::size_t WindowsFound = 0;
  for (auto& Tag : FTags) {
    const bool Goes = Tag.Window >= 0 ? Windows.count(Tag.Window) != 0 : Added.count(ToUtf8(Tag.TID)) != 0;
    if (Goes && Tag.Window >= 0) ++WindowsFound;
    if (!Goes) Kept.push_back(Tag);
  }
  if (WindowsFound != Windows.size()) {
    for (const std::int32_t Index : Windows)
      if (std::none_of(FTags.begin(), FTags.end(), [Index](const TFieldTag& T) { return T.Window == Index; }))
        return TFieldRefusal{TFieldRefusal::frUnknown, std::to_string(Index + 1)};
  }
  for (const auto& TID : Added) FAddedTIDs.erase(TID);
  FTags = std::move(Kept);
  return std::nullopt;
}

void TTagField::Clear() noexcept {
  FTags.clear();
  FAddedTIDs.clear();
}

TFieldTag* TTagField::FindAdded(std::u16string_view ATID) {
  if (FAddedTIDs.empty()) return nullptr;
  for (auto& Tag : FTags)
    if (Tag.Window < 0 && SameTextIgnoreAsciiCase(Tag.TID, ATID)) return &Tag;
  return nullptr;
}
