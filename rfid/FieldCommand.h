#pragma once
// Version 2 of the control tool's command lines (version 1: rfid/TagCommand.h,
// whose lines keep working). Version 2 reaches the whole field: added tags,
// removals, failures on demand and the tags themselves.
//
//   command: "quorvel-tags/2 list"
//            "quorvel-tags/2 clear"
//            "quorvel-tags/2 present [--notify] N ..."       (1 to 8)
//            "quorvel-tags/2 add [--notify] TID[:EPC[:USER]] ..."
//            "quorvel-tags/2 remove N|TID ..."
//            "quorvel-tags/2 fail read|write|session TIMES [MESSAGE]"
//            "quorvel-tags/2 fail clear"
//            "quorvel-tags/2 tags FROM"     (the field's tags from FROM on)
//   answer:  "quorvel-tags/2 ok shown=1 count=305 field=3,5 pending=0,1,0"
//              (count: every tag in the field; field: the window tags in it;
//               pending: failures still to come for read, write, session)
//            "quorvel-tags/2 tags total=305 next=120 W:TID:EPC:USER ..."
//              (W: the window tag's number, 0 for an added tag)
//            "quorvel-tags/2 error WORD [VALUE]"
//              (syntax, version, verb, length, range, tid, hex, duplicate,
//               limit, unknown, failed; VALUE the item that broke a rule)
// A command may be up to kFieldLineLimit bytes: enough for thousands of
// tags, so that 10,000 pass in a few commands. Texts that are not plain
// printable ASCII (MESSAGE, VALUE, the fields of a tag) travel with every
// byte outside 0x21..0x7E and every '%', ':' and ',' written as %XX.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rfid/TagField.h"

inline constexpr std::string_view kFieldProtocol = "quorvel-tags/2";
inline constexpr std::size_t kFieldLineLimit = 256 * 1024;
// The longest answer: a page of tags stays below it.
inline constexpr std::size_t kFieldAnswerLimit = 64 * 1024;
inline constexpr std::size_t kFieldPageLimit = 32 * 1024;
inline constexpr int kFailTimesLimit = 1000000;

enum class TFieldVerb { fvList, fvClear, fvPresent, fvAdd, fvRemove, fvFail, fvFailClear, fvTags };
enum class TFailKind { fkRead, fkWrite, fkSession };
inline constexpr std::array<std::string_view, 3> kFailKindNames{"read", "write", "session"};

struct TFieldCommand {
  TFieldVerb Verb = TFieldVerb::fvList;
  bool Notify = false;
  std::vector<int> Tags;          // present, remove: window tag numbers 1 to 8
  std::vector<TAddedTag> Added;   // add
  std::vector<std::string> TIDs;  // remove
  TFailKind Fail = TFailKind::fkRead;
  int Times = 1;
  std::string Message;  // fail: UTF-8, empty for the default text
  std::size_t From = 0;  // tags
};

struct TFieldError {
  std::string Word;   // empty: no error
  std::string Value;  // the item that broke a rule, when there is one
};

struct TFieldParse {
  TFieldError Error;
  TFieldCommand Command;
};

struct TFieldState {
  bool Shown = false;
  std::size_t Count = 0;
  std::vector<int> Field;  // window tag numbers
  std::array<int, 3> Pending{};
};

struct TFieldTagText {
  int Window = 0;  // 1 to 8, or 0 for an added tag
  std::string TID;
  std::string EPC;
  std::string User;
};

struct TFieldPage {
  std::size_t Total = 0;
  std::size_t Next = 0;
  std::vector<TFieldTagText> Tags;
};

struct TFieldAnswer {
  TFieldError Error;
  TFieldState State;               // an "ok" answer
  std::optional<TFieldPage> Page;  // a "tags" answer
};

bool IsFieldCommand(std::string_view AText) noexcept;
TFieldParse ParseFieldCommand(std::string_view AText);
std::string FormatFieldCommand(const TFieldCommand& ACommand);

std::string FormatFieldState(const TFieldState& AState);
std::string FormatFieldError(const TFieldError& AError);
// A page of tags from AFrom on, as many as fit into kFieldPageLimit (at
// least one when any is left).
std::string FormatFieldPage(const std::vector<TFieldTagText>& ATags, std::size_t AFrom);
std::optional<TFieldAnswer> ParseFieldAnswer(std::string_view AText);

// "%XX" for what a token cannot carry, and back (nothing when malformed).
std::string EscapeFieldText(std::string_view AText);
std::optional<std::string> UnescapeFieldText(std::string_view AText);
// "TID:EPC:USER" as an added tag, empty parts allowed after the TID;
// nothing when it has more than three parts.
std::optional<TAddedTag> SplitAddedTag(std::string_view AToken);
