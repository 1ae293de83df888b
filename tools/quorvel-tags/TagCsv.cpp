#include "quorvel-tags/TagCsv.h"

#include <unordered_map>

namespace quorvel_tags {

namespace {

std::string_view Trimmed(std::string_view AText) {
  while (!AText.empty() && (AText.front() == ' ' || AText.front() == '\t')) AText.remove_prefix(1);
  while (!AText.empty() && (AText.back() == ' ' || AText.back() == '\t' || AText.back() == '\r')) AText.remove_suffix(1);
  return AText;
}

// One field: trimmed, and without the quotes around it when it has them.
bool FieldValue(std::string_view AField, std::string& AValue) {
  AField = Trimmed(AField);
  if (!AField.empty() && AField.front() == '"') {
    if (AField.size() < 2 || AField.back() != '"') return false;
    AField = AField.substr(1, AField.size() - 2);
    if (AField.find('"') != std::string_view::npos) return false;
  }
  AValue = Trimmed(AField);
  return true;
}

bool IsHeader(const std::vector<std::string>& AFields) {
  static const char* const kNames[] = {"TID", "EPC", "USER"};
  if (AFields.empty() || AFields.size() > 3) return false;
  for (std::size_t I = 0; I < AFields.size(); ++I)
    if (UpperAscii(AFields[I]) != kNames[I]) return false;
  return true;
}

std::string Shown(std::string_view AValue) {
  return "\"" + std::string(AValue.substr(0, 80)) + (AValue.size() > 80 ? "...\"" : "\"");
}

// Why a line's fields make no added tag; empty when they do.
std::string LineError(const std::vector<std::string>& AFields) {
  if (AFields.size() > 3) return "more than three fields (TID,EPC,USER)";
  if (!ValidTagTID(AFields[0])) return "TID " + Shown(AFields[0]) + " is not 8 to 64 hexadecimal digits, an even count";
  for (std::size_t I = 1; I < AFields.size(); ++I)
    if (!ValidTagMemory(AFields[I]))
      return std::string(I == 1 ? "EPC " : "USER ") + Shown(AFields[I]) +
             " is not hexadecimal with an even count of digits";
  return {};
}

}  // namespace

TTagCsv ReadTagCsv(std::string_view AText) {
  TTagCsv Result;
  if (AText.substr(0, 3) == "\xEF\xBB\xBF") AText.remove_prefix(3);
  std::unordered_map<std::string, std::size_t> Seen;
  std::size_t Number = 0;
  auto Refuse = [&Result](std::size_t ALine, std::string AError) {
    Result.Tags.clear();
    Result.BadLine = ALine;
    Result.Error = std::move(AError);
    return Result;
  };
  while (!AText.empty()) {
    ++Number;
    const std::size_t End = AText.find('\n');
    const std::string_view Line = Trimmed(AText.substr(0, End));
    AText.remove_prefix(End == std::string_view::npos ? AText.size() : End + 1);
    if (Line.empty()) continue;
    std::vector<std::string> Fields;
    std::size_t Start = 0;
    for (;;) {
      const std::size_t Comma = Line.find(',', Start);
      std::string Value;
      if (!FieldValue(Line.substr(Start, Comma == std::string_view::npos ? std::string_view::npos : Comma - Start), Value))
        return Refuse(Number, "a quoted field is not closed, or holds a quote");
      Fields.push_back(std::move(Value));
      if (Comma == std::string_view::npos || Fields.size() > 3) break;
      Start = Comma + 1;
    }
    if (Result.Tags.empty() && Seen.empty() && IsHeader(Fields)) {
      Seen.emplace("", Number);  // the header may come only first
      continue;
    }
    if (std::string Error = LineError(Fields); !Error.empty()) return Refuse(Number, std::move(Error));
    const auto [Where, New] = Seen.emplace(UpperAscii(Fields[0]), Number);
    if (!New) return Refuse(Number, "TID " + Fields[0] + " is on line " + std::to_string(Where->second) + " already");
    if (Result.Tags.size() == kMaxAddedTags)
      return Refuse(Number, "more than " + std::to_string(kMaxAddedTags) + " tags: a reader holds no more added tags");
    Fields.resize(3);
    Result.Tags.push_back({std::move(Fields[0]), std::move(Fields[1]), std::move(Fields[2])});
  }
  return Result;
}

}  // namespace quorvel_tags
