// The control tool's command lines and answers (rfid/TagCommand.h), as a tag
// window reads whatever a client of its channel sends and as the tool reads
// the window's answer. A command that is read must hold only tags 1 to 8 and
// read back the same once written out; so must an answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzSupport.h"
#include "rfid/TagCommand.h"

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
  return 0;
}
