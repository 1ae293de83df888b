#pragma once
// The reader's field: the tags a reading reports, in the order in which they
// entered it. A tag is either one of the eight window tags (by its index,
// its TID and memories those of the window and the settings) or a tag that
// the control tool added with a TID, EPC and USER memory of its own.
//
// Added tags follow these rules, and a command that breaks one changes
// nothing at all:
//   - the TID has 8 to 64 hexadecimal digits, an even count, and is unique
//     in the reader: neither one of the eight fixed TIDs nor another added
//     tag's, letters compared without regard to case;
//   - EPC and USER are hexadecimal with an even count of digits, or empty;
//   - values are kept upper-cased;
//   - at most kMaxAddedTags added tags.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

inline constexpr std::size_t kMaxAddedTags = 10000;
inline constexpr std::size_t kMinTIDDigits = 8;
inline constexpr std::size_t kMaxTIDDigits = 64;

struct TFieldTag {
  std::int32_t Window = -1;  // 0 to 7 for a window tag, -1 for an added one
  std::u16string TID;        // added tags only, as EPC and User
  std::u16string EPC;
  std::u16string User;
};

struct TAddedTag {
  std::string TID;
  std::string EPC;
  std::string User;
};

// Why a command on the field was refused, and the value that broke a rule.
struct TFieldRefusal {
  enum TKind { frTID, frHex, frDuplicate, frLimit, frUnknown } Kind;
  std::string Value;
};

// Whether ATID is 8 to 64 hexadecimal digits, an even count.
bool ValidTagTID(std::string_view ATID) noexcept;
// Whether AHex is hexadecimal with an even count of digits (or empty).
bool ValidTagMemory(std::string_view AHex) noexcept;
std::string UpperAscii(std::string_view AText);

class TTagField {
public:
  // AFixedTIDs: the eight window tags' TIDs, which no added tag may take.
  explicit TTagField(std::vector<std::string> AFixedTIDs);

  const std::vector<TFieldTag>& Tags() const noexcept { return FTags; }
  std::size_t AddedCount() const noexcept { return FAddedTIDs.size(); }
  // The window tags in the field, by index, in their order.
  std::vector<std::int32_t> WindowTags() const;

  // A window tag enters the field once; false when it is there already.
  bool Present(std::int32_t AIndex);
  // All the tags enter the field after those in it, or none does.
  std::optional<TFieldRefusal> Add(const std::vector<TAddedTag>& ATags);
  // Takes tags out: AWindow by index, ATIDs by TID (an added tag, or a window
  // tag by its fixed TID). Each must be in the field, or nothing changes.
  std::optional<TFieldRefusal> Remove(const std::vector<std::int32_t>& AWindow, const std::vector<std::string>& ATIDs);
  void Clear() noexcept;
  // The added tag with the TID, letters compared without regard to case.
  TFieldTag* FindAdded(std::u16string_view ATID);

private:
  std::vector<std::string> FFixedTIDs;  // upper-cased
  std::vector<TFieldTag> FTags;
  std::unordered_set<std::string> FAddedTIDs;  // upper-cased
};
