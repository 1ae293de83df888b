// The control tool's command lines and answers (rfid/TagCommand.h), as a tag
// window reads whatever a client of its channel sends and as the tool reads
// the window's answer. A command that is read must hold only tags 1 to 8 and
// read back the same once written out; so must an answer. Version 2's
// lines the same way, and a field takes an add whole or not at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzSupport.h"
#include "rfid/FieldCommand.h"
#include "rfid/TagCommand.h"

namespace {

void Require(bool ACondition) {
  if (!ACondition) std::abort();
}

bool SameCommand(const TFieldCommand& A, const TFieldCommand& B) {
  auto SameTags = [](const std::vector<TAddedTag>& X, const std::vector<TAddedTag>& Y) {
    if (X.size() != Y.size()) return false;
    for (std::size_t I = 0; I < X.size(); ++I)
      if (X[I].TID != Y[I].TID || X[I].EPC != Y[I].EPC || X[I].User != Y[I].User) return false;
    return true;
  };
  return A.Verb == B.Verb && A.Notify == B.Notify && A.Tags == B.Tags && SameTags(A.Added, B.Added) &&
         A.TIDs == B.TIDs && A.Fail == B.Fail && A.Times == B.Times && A.Message == B.Message && A.From == B.From;
}

void FuzzFieldCommand(std::string_view AText) {
  const TFieldParse Parsed = ParseFieldCommand(AText);
  if (Parsed.Error.Word.empty()) {
    Require(AText.size() <= kFieldLineLimit);
    for (const int Tag : Parsed.Command.Tags) Require(Tag >= kTagFirst && Tag <= kTagLast);
    const TFieldParse Again = ParseFieldCommand(FormatFieldCommand(Parsed.Command));
    Require(Again.Error.Word.empty() && SameCommand(Again.Command, Parsed.Command));
    if (Parsed.Command.Verb == TFieldVerb::fvAdd) {
      TTagField Field({"E28011002000589616B408A1"});
      const auto Refusal = Field.Add(Parsed.Command.Added);
      Require(Refusal ? Field.Tags().empty() : Field.AddedCount() == Parsed.Command.Added.size());
    }
  }
  if (const auto Answer = ParseFieldAnswer(AText)) {
    if (!Answer->Error.Word.empty()) {
      const auto Again = ParseFieldAnswer(FormatFieldError(Answer->Error));
      Require(Again && Again->Error.Word == Answer->Error.Word);
    } else if (Answer->Page) {
      for (const auto& Tag : Answer->Page->Tags) Require(Tag.Window >= 0 && Tag.Window <= kTagLast);
    } else {
      const auto Again = ParseFieldAnswer(FormatFieldState(Answer->State));
      Require(Again && Again->State.Field == Answer->State.Field && Again->State.Count == Answer->State.Count &&
              Again->State.Pending == Answer->State.Pending && Again->State.Shown == Answer->State.Shown);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view Text(reinterpret_cast<const char*>(AData), ASize);

  const TTagParse Parsed = ParseTagCommand(Text);
  if (Parsed.Error == TTagError::teNone) {
    Require(Text.size() <= kTagLineLimit);
    for (const int Tag : Parsed.Command.Tags) Require(Tag >= kTagFirst && Tag <= kTagLast);
    Require((Parsed.Command.Verb == TTagVerb::tvPresent) == !Parsed.Command.Tags.empty());
    const TTagParse Again = ParseTagCommand(FormatTagCommand(Parsed.Command));
    Require(Again.Error == TTagError::teNone && Again.Command.Verb == Parsed.Command.Verb &&
            Again.Command.Tags == Parsed.Command.Tags);
  } else {
    Require(Parsed.Command.Tags.empty());
  }

  if (const auto Answer = ParseTagAnswer(Text)) {
    for (const int Tag : Answer->State.Field) Require(Tag >= kTagFirst && Tag <= kTagLast);
    const auto Again = ParseTagAnswer(Answer->Error == TTagError::teNone ? FormatTagAnswer(Answer->State)
                                                                         : FormatTagError(Answer->Error));
    Require(Again && Again->Error == Answer->Error && Again->State.Shown == Answer->State.Shown &&
            Again->State.Field == Answer->State.Field);
  }
  FuzzFieldCommand(Text);
  return 0;
}
