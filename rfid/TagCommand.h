#pragma once
// The commands that the control tool quorvel-tags sends to a reader's tag
// window, and the window's answers: one line of ASCII text each.
//
//   command: "quorvel-tags/1 list"
//            "quorvel-tags/1 present 3 5"      (tag numbers 1 to 8)
//            "quorvel-tags/1 clear"
//   answer:  "quorvel-tags/1 ok shown=1 field=3,5"   (field= when empty)
//            "quorvel-tags/1 error range"            (or syntax, version,
//                                                     verb, length, failed)
//
// Tokens are separated by one space; the line carries no newline (the
// channel frames it). Whatever does not follow this grammar exactly is
// refused as a whole, so a faulty command never changes the field.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kTagProtocol = "quorvel-tags/1";
// The longest command or answer a channel accepts, in bytes.
inline constexpr std::size_t kTagLineLimit = 256;
inline constexpr int kTagFirst = 1;
inline constexpr int kTagLast = 8;

enum class TTagVerb { tvList, tvPresent, tvClear };

enum class TTagError {
  teNone,
  teSyntax,   // not the grammar above
  teVersion,  // another protocol or version
  teVerb,     // a verb this reader does not know
  teLength,   // longer than kTagLineLimit
  teRange,    // a tag number outside 1 to 8
  teFailed,   // the reader could not carry the command out
};

struct TTagCommand {
  TTagVerb Verb = TTagVerb::tvList;
  std::vector<int> Tags;  // present: tag numbers in the order given
};

struct TTagParse {
  TTagError Error = TTagError::teNone;
  TTagCommand Command;  // valid when Error is teNone
};

// The state of a reader after a command.
struct TTagState {
  bool Shown = false;     // the tag window is shown (the device is open)
  std::vector<int> Field;  // tag numbers in the reader's field, in order
};

struct TTagAnswer {
  TTagError Error = TTagError::teNone;
  TTagState State;  // valid when Error is teNone
};

TTagParse ParseTagCommand(std::string_view AText);
std::string FormatTagCommand(const TTagCommand& ACommand);

std::string FormatTagAnswer(const TTagState& AState);
std::string FormatTagError(TTagError AError);
// Nothing when the text is no answer of this protocol.
std::optional<TTagAnswer> ParseTagAnswer(std::string_view AText);

// "syntax", "range", ...: the word that names an error in an answer.
std::string_view TagErrorName(TTagError AError) noexcept;
