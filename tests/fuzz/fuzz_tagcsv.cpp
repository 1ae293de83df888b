// The tag files of "quorvel-tags add --file" (tools/quorvel-tags/TagCsv.h):
// whatever a file holds, it is either refused with a line and a reason, or
// read into tags that each keep the rules of added tags, with unique TIDs,
// and that a reader takes as they are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unordered_set>

#include "FuzzSupport.h"
#include "quorvel-tags/TagCsv.h"
#include "rfid/FieldCommand.h"

namespace {

void Require(bool ACondition) {
  if (!ACondition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char*>(AData), ASize);
  const quorvel_tags::TTagCsv Csv = quorvel_tags::ReadTagCsv(Text);
  if (Csv.BadLine != 0) {
    Require(Csv.Tags.empty() && !Csv.Error.empty());
    return 0;
  }
  Require(Csv.Error.empty() && Csv.Tags.size() <= kMaxAddedTags);
  std::unordered_set<std::string> TIDs;
  for (const auto& Tag : Csv.Tags) {
    Require(ValidTagTID(Tag.TID) && ValidTagMemory(Tag.EPC) && ValidTagMemory(Tag.User));
    Require(TIDs.insert(UpperAscii(Tag.TID)).second);
  }
  // The tags travel in a command that reads back the same and that a
  // reader's field takes whole.
  TFieldCommand Command;
  Command.Verb = TFieldVerb::fvAdd;
  Command.Added = Csv.Tags;
  if (Csv.Tags.empty()) return 0;
  const TFieldParse Again = ParseFieldCommand(FormatFieldCommand(Command));
  if (Again.Error.Word == "length") return 0;
  Require(Again.Error.Word.empty() && Again.Command.Added.size() == Csv.Tags.size());
  TTagField Field({"E28011002000589616B408A1"});
  const auto Refusal = Field.Add(Again.Command.Added);
  Require(!Refusal || Refusal->Kind == TFieldRefusal::frDuplicate);
  Require(Refusal || Field.AddedCount() == Csv.Tags.size());
  return 0;
}
