#include "quorvel-tags/Tool.h"

#include <algorithm>
#include <optional>
#include <sstream>

#include "quorvel-tags/TagClient.h"
#include "rfid/TagCommand.h"

namespace quorvel_tags {

namespace {

constexpr auto kTimeout = std::chrono::seconds(3);

constexpr char kHelp[] =
    "usage: quorvel-tags [--reader ID] [--json] list | present N [N ...] | clear\n"
    "\n"
    "Controls the emulated RFID readers (the quorvel driver's tag windows) that\n"
    "are open in this user's session.\n"
    "  list          every open reader: its id, process id, whether its tag\n"
    "                window is shown, and the tags in its field in their order\n"
    "  present N...  puts tags N (1 to 8) into the field, in the order given, as\n"
    "                a double-click on a tag's barcode does; a tag already in\n"
    "                the field stays where it is\n"
    "  clear         empties the field (the tag window itself has no way to)\n"
    "  raw LINE      sends LINE to the reader as it is and shows the answer (for\n"
    "                checking the channel; see the user guide for its grammar)\n"
    "  --reader ID   the reader to use when several are open (ids: list)\n"
    "  --json        answers as JSON, for programs\n"
    "\n"
    "Exit status: 0 done, 1 the reader refused the command, 2 usage error,\n"
    "3 no open reader, 4 several readers and no --reader, 5 no reader with\n"
    "that id, 6 a tag number out of range, 7 the reader did not answer in time.\n";

struct TOptions {
  std::optional<std::string> Reader;
  bool Json = false;
  TTagCommand Command;
};

std::string JsonText(const std::string& AText) {
  std::string Result = "\"";
  for (const char C : AText) {
    if (C == '"' || C == '\\') {
      Result += '\\';
      Result += C;
    } else if (static_cast<unsigned char>(C) < 0x20) {
      static constexpr char kHex[] = "0123456789abcdef";
      Result += "\\u00";
      Result += kHex[(C >> 4) & 0xF];
      Result += kHex[C & 0xF];
    } else {
      Result += C;
    }
  }
  return Result + "\"";
}

std::string FieldJson(const std::vector<int>& AField) {
  std::string Result = "[";
  for (std::size_t I = 0; I < AField.size(); ++I) Result += (I ? "," : "") + std::to_string(AField[I]);
  return Result + "]";
}

std::string FieldText(const std::vector<int>& AField) {
  if (AField.empty()) return "empty";
  std::string Result;
  for (const int Tag : AField) Result += (Result.empty() ? "" : " ") + std::to_string(Tag);
  return Result;
}

std::string ReaderJson(const TReader& AReader, const TTagState& AState) {
  return "{\"id\":" + JsonText(AReader.Id) + ",\"pid\":" + std::to_string(AReader.Process) +
         ",\"shown\":" + (AState.Shown ? "true" : "false") + ",\"field\":" + FieldJson(AState.Field) + "}";
}

std::string ReaderText(const TReader& AReader, const TTagState& AState) {
  return "reader " + AReader.Id + " (process " + std::to_string(AReader.Process) + ", window " +
         (AState.Shown ? "shown" : "hidden") + "): field " + FieldText(AState.Field);
}

class TTool {
public:
  TTool(std::ostream& AOut, std::ostream& AErr, const std::function<void()>& AWhileWaiting)
      : FOut(AOut), FErr(AErr), FWhileWaiting(AWhileWaiting) {}

  int Run(const std::vector<std::string>& AArgs) {
    std::size_t I = 0;
    std::optional<std::string> Verb;
    std::vector<std::string> Tags;
    for (; I < AArgs.size(); ++I) {
      const std::string& Arg = AArgs[I];
      if (Arg == "--help" || Arg == "-h") {
        FOut << kHelp;
        return xsDone;
      }
      if (Arg == "--json") {
        FOptions.Json = true;
      } else if (Arg == "--reader") {
        if (++I == AArgs.size() || AArgs[I].empty())
          return Fail(xsUsage, "usage", "--reader needs a reader id: quorvel-tags list shows them");
        FOptions.Reader = AArgs[I];
      } else if (!Arg.empty() && Arg[0] == '-') {
        return Fail(xsUsage, "usage", "unknown option \"" + Arg + "\": see quorvel-tags --help");
      } else if (!Verb) {
        Verb = Arg;
      } else {
        Tags.push_back(Arg);
      }
    }
    if (!Verb) return Fail(xsUsage, "usage", "say what to do: list, present N [N ...] or clear (quorvel-tags --help)");
    if (*Verb == "raw") {
      if (Tags.size() != 1) return Fail(xsUsage, "usage", "raw takes one argument, the line to send");
      FRaw = Tags.front();
      return Command();
    }
    if (*Verb == "list" || *Verb == "clear") {
      if (!Tags.empty()) return Fail(xsUsage, "usage", *Verb + " takes no arguments: see quorvel-tags --help");
      FOptions.Command.Verb = *Verb == "list" ? TTagVerb::tvList : TTagVerb::tvClear;
    } else if (*Verb == "present") {
      if (Tags.empty()) return Fail(xsUsage, "usage", "present needs tag numbers 1 to 8, e.g. quorvel-tags present 3 5");
      FOptions.Command.Verb = TTagVerb::tvPresent;
      for (const auto& Tag : Tags) {
        const bool Digits = !Tag.empty() && Tag.size() <= 9 && Tag.find_first_not_of("0123456789") == std::string::npos;
        if (!Digits) return Fail(xsUsage, "usage", "\"" + Tag + "\" is no tag number: tags are numbered 1 to 8");
        const int Number = std::stoi(Tag);
        if (Number < kTagFirst || Number > kTagLast)
          return Fail(xsTagRange, "tag-range", "tag " + Tag + " is out of range: tags are numbered 1 to 8; nothing was presented");
        FOptions.Command.Tags.push_back(Number);
      }
    } else {
      return Fail(xsUsage, "usage", "unknown verb \"" + *Verb + "\": use list, present N [N ...] or clear (quorvel-tags --help)");
    }
    return FOptions.Command.Verb == TTagVerb::tvList && !FOptions.Reader ? List() : Command();
  }

private:
  int Fail(int AStatus, const std::string& AKind, const std::string& AMessage) {
    if (FOptions.Json)
      FOut << "{\"error\":" << JsonText(AKind) << ",\"exit\":" << AStatus << ",\"message\":" << JsonText(AMessage)
           << "}\n";
    else
      FErr << "quorvel-tags: " << AMessage << "\n";
    return AStatus;
  }

  // Asks one reader; nothing (after the failure's message) when it does not
  // answer as it should.
  std::optional<TTagState> Ask(const TReader& AReader, const TTagCommand& ACommand, int& AStatus) {
    const TExchange Reply = Exchange(AReader, FRaw ? *FRaw : FormatTagCommand(ACommand), kTimeout, FWhileWaiting);
    if (Reply.Status == TExchangeStatus::esTimeout) {
      AStatus = Fail(xsTimeout, "timeout",
                     "reader " + AReader.Id + " did not answer within 3 s: is its program busy or stopped? try again");
      return std::nullopt;
    }
    const auto Answer = Reply.Status == TExchangeStatus::esOk ? ParseTagAnswer(Reply.Answer) : std::nullopt;
    if (!Answer) {
      AStatus = Fail(xsRefused, "channel",
                     "reader " + AReader.Id + " gave no valid answer (it may have just closed): run quorvel-tags list");
      return std::nullopt;
    }
    if (Answer->Error != TTagError::teNone) {
      AStatus = Fail(Answer->Error == TTagError::teRange ? xsTagRange : xsRefused, "refused",
                     "reader " + AReader.Id + " refused the command (" + std::string(TagErrorName(Answer->Error)) +
                         "); nothing was changed: check the command, or update quorvel-tags to the driver's version");
      return std::nullopt;
    }
    return Answer->State;
  }

  int List() {
    const auto Readers = FindReaders();
    int Status = xsDone;
    std::string Json;
    if (Readers.empty() && !FOptions.Json) FOut << "no open reader\n";
    for (const auto& Reader : Readers) {
      int Failed = xsDone;
      const auto State = Ask(Reader, FOptions.Command, Failed);
      if (!State) {
        Status = Failed;
        continue;
      }
      if (FOptions.Json)
        Json += (Json.empty() ? "" : ",") + ReaderJson(Reader, *State);
      else
        FOut << ReaderText(Reader, *State) << "\n";
    }
    if (FOptions.Json) FOut << "{\"readers\":[" << Json << "]}\n";
    return Status;
  }

  int Command() {
    const auto Readers = FindReaders();
    const TReader* Chosen = nullptr;
    if (FOptions.Reader) {
      for (const auto& Reader : Readers)
        if (Reader.Id == *FOptions.Reader) Chosen = &Reader;
      if (!Chosen)
        return Fail(xsUnknownReader, "unknown-reader",
                    "no open reader \"" + *FOptions.Reader + "\": quorvel-tags list shows the open readers");
    } else if (Readers.empty()) {
      return Fail(xsNoReader, "no-reader",
                  "no open reader: connect the quorvel driver in 1C:Enterprise first (its tag window belongs to it)");
    } else if (Readers.size() > 1) {
      std::string Ids;
      for (const auto& Reader : Readers) Ids += (Ids.empty() ? "" : ", ") + Reader.Id;
      return Fail(xsSeveralReaders, "several-readers",
                  std::to_string(Readers.size()) + " readers are open (" + Ids + "): choose one with --reader ID");
    } else {
      Chosen = &Readers.front();
    }
    int Status = xsDone;
    const auto State = Ask(*Chosen, FOptions.Command, Status);
    if (!State) return Status;
    if (FOptions.Json)
      FOut << ReaderJson(*Chosen, *State) << "\n";
    else
      FOut << ReaderText(*Chosen, *State) << "\n";
    return xsDone;
  }

  std::ostream& FOut;
  std::ostream& FErr;
  const std::function<void()>& FWhileWaiting;
  TOptions FOptions;
  std::optional<std::string> FRaw;
};

}  // namespace

int RunTagTool(const std::vector<std::string>& AArgs, std::ostream& AOut, std::ostream& AErr,
               const std::function<void()>& AWhileWaiting) {
  try {
    return TTool(AOut, AErr, AWhileWaiting).Run(AArgs);
  } catch (const std::exception& E) {
    AErr << "quorvel-tags: " << E.what() << "\n";
    return xsRefused;
  }
}

int RunTagToolLine(const std::string& AArgs, std::ostream& AOut, const std::function<void()>& AWhileWaiting) {
  std::vector<std::string> Args;
  std::istringstream Words(AArgs);
  for (std::string Word; Words >> Word;) Args.push_back(Word);
  if (std::find(Args.begin(), Args.end(), "--reader") == Args.end()) {
    std::vector<std::string> Own;
    for (const auto& Reader : FindReaders())
      if (Reader.Process == CurrentProcess()) Own.push_back(Reader.Id);
    if (Own.size() == 1) Args.insert(Args.begin(), {"--reader", Own.front()});
  }
  std::ostringstream Out;
  const int Status = RunTagTool(Args, Out, Out, AWhileWaiting);
  std::istringstream Lines(Out.str());
  for (std::string Line; std::getline(Lines, Line);) AOut << "  " << Line << "\n";
  AOut << "  (quorvel-tags exit status " << Status << ")\n";
  return Status;
}

}  // namespace quorvel_tags
