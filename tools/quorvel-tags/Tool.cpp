#include "quorvel-tags/Tool.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <unordered_set>

#include "quorvel-tags/SgtinTags.h"
#include "quorvel-tags/TagClient.h"
#include "quorvel-tags/TagCsv.h"
#include "rfid/FieldCommand.h"
#include "rfid/Sgtin.h"
#include "rfid/TagCommand.h"

namespace quorvel_tags {

namespace {

constexpr auto kTimeout = std::chrono::seconds(3);
// Room in a command line for its verb and options around the tags.
constexpr std::size_t kLineReserve = 64;

constexpr char kHelp[] =
    "usage: quorvel-tags [--reader ID] [--json] VERB ...\n"
    "\n"
    "Controls the emulated RFID readers (the quorvel driver's tag windows) that\n"
    "are open in this user's session.\n"
    "  list [--tags]     every open reader: its id, process id, whether its tag\n"
    "                    window is shown, the window tags in its field in their\n"
    "                    order, the number of tags in the field and the failures\n"
    "                    still pending; --tags also every tag's TID, EPC, USER\n"
    "                    and, for an SGTIN, its GTIN and serial\n"
    "  present N... [--notify]\n"
    "                    puts tags N (1 to 8) into the field, in the order given,\n"
    "                    as a double-click on a tag's barcode does\n"
    "  add TID[:EPC[:USER]]... [--notify]\n"
    "  add --file FILE [--notify]     (CSV: TID,EPC,USER per line; - for stdin)\n"
    "  add --sgtin GTIN --serials FIRST-LAST [--filter F] [--company-prefix-length L]\n"
    "      [--scheme sgtin-96|sgtin-198] [--tid-start HEX] [--notify]\n"
    "                    adds tags of their own to the field (hexadecimal; TIDs of\n"
    "                    8 to 64 digits, unique in the reader)\n"
    "  remove N|TID...   takes tags out of the field\n"
    "  clear             empties the field, added tags included\n"
    "  fail read|write|session [--times N] [--message TEXT]\n"
    "                    the next N calls (1) of GetDataTagsRFID, SaveDataTagRFID\n"
    "                    or OpenSessionRFID fail with error 1001 and TEXT\n"
    "  fail clear        drops the pending failures\n"
    "  decode EPC...     the SGTIN in an EPC (no reader needed)\n"
    "  run FILE          one command per line (without quorvel-tags), wait MS,\n"
    "                    # comments; stops at the first failure\n"
    "  raw LINE          sends LINE to the reader as it is and shows the answer (for\n"
    "                    checking the channel; see the user guide for its grammar)\n"
    "  --notify          with a reading session open, also tells 1C that new tags\n"
    "                    were read (the event \"RFID\" with the session's package)\n"
    "  --reader ID       the reader to use when several are open (ids: list)\n"
    "  --json            answers as JSON, for programs\n"
    "\n"
    "Exit status: 0 done, 1 the reader refused the command, 2 usage error or bad\n"
    "input, 3 no open reader, 4 several readers and no --reader, 5 no reader with\n"
    "that id, 6 a tag number out of range, 7 the reader did not answer in time.\n";

// The options each verb takes: flags, and options with a value.
const std::map<std::string, std::set<std::string>> kVerbOptions{
    {"list", {"--tags"}},
    {"present", {"--notify"}},
    {"add", {"--notify", "--file", "--sgtin", "--serials", "--filter", "--company-prefix-length", "--scheme",
             "--tid-start"}},
    {"remove", {}},
    {"clear", {}},
    {"fail", {"--times", "--message"}},
    {"decode", {}},
    {"run", {}},
    {"raw", {}}};
const std::set<std::string> kFlags{"--notify", "--tags"};

struct TArgs {
  std::optional<std::string> Reader;
  bool Json = false;
  std::string Verb;
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;
  bool Has(const std::string& AName) const { return Options.count(AName) != 0; }
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

std::string ReaderJson(const TReader& AReader, const TFieldState& AState) {
  return "{\"id\":" + JsonText(AReader.Id) + ",\"pid\":" + std::to_string(AReader.Process) +
         ",\"shown\":" + (AState.Shown ? "true" : "false") + ",\"count\":" + std::to_string(AState.Count) +
         ",\"pending_read\":" + std::to_string(AState.Pending[0]) + ",\"pending_write\":" +
         std::to_string(AState.Pending[1]) + ",\"pending_session\":" + std::to_string(AState.Pending[2]) +
         ",\"field\":" + FieldJson(AState.Field) + "}";
}

// The reader's line, then the count of tags and the pending failures.
std::string ReaderText(const TReader& AReader, const TFieldState& AState) {
  std::string Text = "reader " + AReader.Id + " (process " + std::to_string(AReader.Process) + ", window " +
                     (AState.Shown ? "shown" : "hidden") + "): field " + FieldText(AState.Field) + "\n  " +
                     std::to_string(AState.Count) + (AState.Count == 1 ? " tag" : " tags") + " in the field";
  std::string Pending;
  for (std::size_t I = 0; I < AState.Pending.size(); ++I)
    if (AState.Pending[I] > 0)
      Pending += (Pending.empty() ? "" : ", ") + std::string(kFailKindNames[I]) + " " + std::to_string(AState.Pending[I]);
  return Text + (Pending.empty() ? "" : "; pending failures: " + Pending) + "\n";
}

std::string TagJson(const TFieldTagText& ATag) {
  std::string Result = "{\"tag\":" + std::to_string(ATag.Window) + ",\"tid\":" + JsonText(ATag.TID) +
                       ",\"epc\":" + JsonText(ATag.EPC) + ",\"user\":" + JsonText(ATag.User);
  if (const auto Sgtin = DecodeSgtin(ATag.EPC))
    Result += ",\"gtin\":" + JsonText(SgtinGtin(*Sgtin)) + ",\"serial\":" + JsonText(Sgtin->Serial);
  return Result + "}";
}

std::string TagText(const TFieldTagText& ATag) {
  std::string Result = "  " + (ATag.Window > 0 ? "tag " + std::to_string(ATag.Window) : std::string("added")) +
                       "  TID " + ATag.TID + "  EPC " + (ATag.EPC.empty() ? "-" : ATag.EPC) + "  USER " +
                       (ATag.User.empty() ? "-" : ATag.User);
  if (const auto Sgtin = DecodeSgtin(ATag.EPC)) Result += "  GTIN " + SgtinGtin(*Sgtin) + " serial " + Sgtin->Serial;
  return Result + "\n";
}

// Words of a line; double quotes keep spaces inside a word. Nothing when a
// quote is left open.
std::optional<std::vector<std::string>> SplitWords(const std::string& ALine) {
  std::vector<std::string> Words;
  std::string Word;
  bool InWord = false;
  bool Quoted = false;
  for (const char C : ALine) {
    if (C == '"') {
      Quoted = !Quoted;
      InWord = true;
    } else if ((C == ' ' || C == '\t' || C == '\r') && !Quoted) {
      if (InWord) Words.push_back(std::move(Word));
      Word.clear();
      InWord = false;
    } else {
      Word += C;
      InWord = true;
    }
  }
  if (Quoted) return std::nullopt;
  if (InWord) Words.push_back(std::move(Word));
  return Words;
}

std::optional<std::string> ReadWhole(const std::string& APath) {
  if (APath == "-") return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  // The path is UTF-8 on every system.
  std::ifstream File(std::filesystem::path(std::u8string(APath.begin(), APath.end())), std::ios::binary);
  if (!File) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
}

std::optional<int> SmallNumber(const std::string& AText, int AMax) {
  if (AText.empty() || AText.size() > 9 || AText.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const int Value = std::stoi(AText);
  if (Value > AMax) return std::nullopt;
  return Value;
}

// The commands that carry ATags, each within the line limit, with the
// number of tags each carries.
std::vector<std::pair<std::string, std::size_t>> AddCommands(const std::vector<TAddedTag>& ATags, bool ANotify) {
  std::vector<std::pair<std::string, std::size_t>> Lines;
  TFieldCommand Command;
  Command.Verb = TFieldVerb::fvAdd;
  std::size_t Size = 0;
  auto Flush = [&] {
    Lines.emplace_back(FormatFieldCommand(Command), Command.Added.size());
    Command.Added.clear();
    Size = 0;
  };
  for (const auto& Tag : ATags) {
    const std::size_t TagSize = Tag.TID.size() + Tag.EPC.size() + Tag.User.size() + 3;
    if (!Command.Added.empty() && Size + TagSize > kFieldLineLimit - kLineReserve) Flush();
    Command.Added.push_back(Tag);
    Size += TagSize;
  }
  Command.Notify = ANotify;
  Flush();
  return Lines;
}

class TTool {
public:
  TTool(std::ostream& AOut, std::ostream& AErr, const std::function<void()>& AWhileWaiting, bool AInScenario = false)
      : FOut(AOut), FErr(AErr), FWhileWaiting(AWhileWaiting), FInScenario(AInScenario) {}

  int Run(const std::vector<std::string>& AArgs) {
    if (std::find_if(AArgs.begin(), AArgs.end(), [](const std::string& A) { return A == "--help" || A == "-h"; }) !=
        AArgs.end()) {
      FOut << kHelp;
      return xsDone;
    }
    if (const int Status = Parse(AArgs); Status != xsDone) return Status;
    const std::string& Verb = FArgs.Verb;
    if (Verb == "raw") return Raw();
    if (Verb == "list") return FArgs.Positional.empty() ? List() : Usage("list takes no arguments: see quorvel-tags --help");
    if (Verb == "clear") {
      if (!FArgs.Positional.empty()) return Usage("clear takes no arguments: see quorvel-tags --help");
      TFieldCommand Command;
      Command.Verb = TFieldVerb::fvClear;
      return Single(FormatFieldCommand(Command));
    }
    if (Verb == "present") return Present();
    if (Verb == "add") return Add();
    if (Verb == "remove") return Remove();
    if (Verb == "fail") return Fail();
    if (Verb == "decode") return Decode();
    return RunScenario();
  }

private:
  int Parse(const std::vector<std::string>& AArgs) {
    for (std::size_t I = 0; I < AArgs.size(); ++I) {
      const std::string& Arg = AArgs[I];
      if (Arg == "--json") {
        FArgs.Json = true;
      } else if (Arg == "--reader") {
        if (++I == AArgs.size() || AArgs[I].empty())
          return Usage("--reader needs a reader id: quorvel-tags list shows them");
        FArgs.Reader = AArgs[I];
      } else if (Arg.size() > 1 && Arg[0] == '-' && !FArgs.Verb.empty() && kVerbOptions.at(FArgs.Verb).count(Arg)) {
        if (kFlags.count(Arg)) {
          FArgs.Options[Arg];
        } else {
          if (++I == AArgs.size()) return Usage(Arg + " needs a value: see quorvel-tags --help");
          FArgs.Options[Arg] = AArgs[I];
        }
      } else if (Arg.size() > 1 && Arg[0] == '-') {
        return Usage("unknown option \"" + Arg + "\"" + (FArgs.Verb.empty() ? "" : " for " + FArgs.Verb) +
                     ": see quorvel-tags --help");
      } else if (FArgs.Verb.empty()) {
        if (!kVerbOptions.count(Arg))
          return Usage("unknown verb \"" + Arg + "\": use list, present, add, remove, clear, fail, decode or run "
                       "(quorvel-tags --help)");
        FArgs.Verb = Arg;
      } else {
        FArgs.Positional.push_back(Arg);
      }
    }
    if (FArgs.Verb.empty()) return Usage("say what to do: list, present N [N ...], add, remove, clear, fail, decode or "
                                         "run (quorvel-tags --help)");
    return xsDone;
  }

  int Failure(int AStatus, const std::string& AKind, const std::string& AMessage) {
    if (FArgs.Json)
      FOut << "{\"error\":" << JsonText(AKind) << ",\"exit\":" << AStatus << ",\"message\":" << JsonText(AMessage)
           << "}\n";
    else
      FErr << "quorvel-tags: " << AMessage << "\n";
    return AStatus;
  }
  int Usage(const std::string& AMessage) { return Failure(xsUsage, "usage", AMessage); }

  // The reader a command goes to; nothing (after the failure's message,
  // its status in AStatus) when there is no single one.
  const TReader* Choose(const std::vector<TReader>& AReaders, int& AStatus) {
    if (FArgs.Reader) {
      for (const auto& Reader : AReaders)
        if (Reader.Id == *FArgs.Reader) return &Reader;
      AStatus = Failure(xsUnknownReader, "unknown-reader",
                        "no open reader \"" + *FArgs.Reader + "\": quorvel-tags list shows the open readers");
    } else if (AReaders.empty()) {
      AStatus = Failure(xsNoReader, "no-reader",
                        "no open reader: connect the quorvel driver in 1C:Enterprise first (its tag window belongs to it)");
    } else if (AReaders.size() > 1) {
      std::string Ids;
      for (const auto& Reader : AReaders) Ids += (Ids.empty() ? "" : ", ") + Reader.Id;
      AStatus = Failure(xsSeveralReaders, "several-readers",
                        std::to_string(AReaders.size()) + " readers are open (" + Ids + "): choose one with --reader ID");
    } else {
      return &AReaders.front();
    }
    return nullptr;
  }

  std::string RefusalText(const TFieldError& AError) {
    const std::string& V = AError.Value;
    if (AError.Word == "duplicate") return "TID " + V + " is in the reader already (a fixed TID or an added tag's)";
    if (AError.Word == "limit")
      return "a reader holds at most " + std::to_string(kMaxAddedTags) + " added tags; room for " + V + " more";
    if (AError.Word == "unknown") return "tag " + V + " is not in the field";
    if (AError.Word == "tid") return "\"" + V + "\" is no TID: 8 to 64 hexadecimal digits, an even count";
    if (AError.Word == "hex") return "\"" + V + "\" is not hexadecimal with an even count of digits";
    if (AError.Word == "range") return "\"" + V + "\" is out of range";
    return "the command was refused (" + AError.Word + (V.empty() ? "" : " " + V) +
           "): check it, or update quorvel-tags to the driver's version";
  }

  // Sends one version-2 command; nothing (after the failure's message) when
  // the reader does not answer as it should or refuses it.
  std::optional<TFieldAnswer> Ask(const TReader& AReader, const std::string& ALine, int& AStatus) {
    const TExchange Reply = Exchange(AReader, ALine, kTimeout, FWhileWaiting);
    if (Reply.Status == TExchangeStatus::esTimeout) {
      AStatus = Failure(xsTimeout, "timeout",
                        "reader " + AReader.Id + " did not answer within 3 s: is its program busy or stopped? try again");
      return std::nullopt;
    }
    const auto Answer = Reply.Status == TExchangeStatus::esOk ? ParseFieldAnswer(Reply.Answer) : std::nullopt;
    if (!Answer) {
      const auto Old = Reply.Status == TExchangeStatus::esOk ? ParseTagAnswer(Reply.Answer) : std::nullopt;
      AStatus = Failure(xsRefused, Old ? "refused" : "channel",
                        Old ? "reader " + AReader.Id + " does not know this command: update the quorvel driver"
                            : "reader " + AReader.Id + " gave no valid answer (it may have just closed): run quorvel-tags list");
      return std::nullopt;
    }
    if (!Answer->Error.Word.empty()) {
      AStatus = Failure(Answer->Error.Word == "range" ? xsTagRange : xsRefused, "refused",
                        "reader " + AReader.Id + ": " + RefusalText(Answer->Error) + "; nothing was changed");
      return std::nullopt;
    }
    return Answer;
  }

  int Report(const TReader& AReader, const TFieldState& AState) {
    FOut << (FArgs.Json ? ReaderJson(AReader, AState) + "\n" : ReaderText(AReader, AState));
    return xsDone;
  }

  // Sends one command to the chosen reader and shows its state after it.
  int Single(const std::string& ALine) {
    const auto Readers = FindReaders();
    int Status = xsDone;
    const TReader* Chosen = Choose(Readers, Status);
    if (!Chosen) return Status;
    const auto Answer = Ask(*Chosen, ALine, Status);
    if (!Answer) return Status;
    return Report(*Chosen, Answer->State);
  }

  std::optional<std::vector<TFieldTagText>> Tags(const TReader& AReader, int& AStatus) {
    std::vector<TFieldTagText> Result;
    TFieldCommand Command;
    Command.Verb = TFieldVerb::fvTags;
    for (;;) {
      Command.From = Result.size();
      const auto Answer = Ask(AReader, FormatFieldCommand(Command), AStatus);
      if (!Answer) return std::nullopt;
      if (!Answer->Page || Answer->Page->Next < Command.From || Answer->Page->Next > Answer->Page->Total) {
        AStatus = Failure(xsRefused, "channel", "reader " + AReader.Id + " gave no valid list of tags");
        return std::nullopt;
      }
      for (auto& Tag : Answer->Page->Tags) Result.push_back(std::move(Tag));
      if (Answer->Page->Next >= Answer->Page->Total || Answer->Page->Tags.empty()) return Result;
    }
  }

  int List() {
    const auto Readers = FindReaders();
    std::vector<TReader> Chosen;
    int Status = xsDone;
    if (FArgs.Reader) {
      const TReader* Reader = Choose(Readers, Status);
      if (!Reader) return Status;
      Chosen.push_back(*Reader);
    } else {
      Chosen = Readers;
    }
    std::string Json;
    if (Chosen.empty() && !FArgs.Json) FOut << "no open reader\n";
    TFieldCommand Command;
    for (const auto& Reader : Chosen) {
      int Failed = xsDone;
      const auto Answer = Ask(Reader, FormatFieldCommand(Command), Failed);
      std::optional<std::vector<TFieldTagText>> Tags;
      if (Answer && FArgs.Has("--tags")) Tags = this->Tags(Reader, Failed);
      if (!Answer || (FArgs.Has("--tags") && !Tags)) {
        Status = Failed;
        continue;
      }
      if (FArgs.Json) {
        std::string Item = ReaderJson(Reader, Answer->State);
        if (Tags) {
          Item.pop_back();
          Item += ",\"tags\":[";
          for (std::size_t I = 0; I < Tags->size(); ++I) Item += (I ? "," : "") + TagJson((*Tags)[I]);
          Item += "]}";
        }
        Json += (Json.empty() ? "" : ",") + Item;
      } else {
        FOut << ReaderText(Reader, Answer->State);
        if (Tags)
          for (const auto& Tag : *Tags) FOut << TagText(Tag);
      }
    }
    if (FArgs.Json) FOut << "{\"readers\":[" << Json << "]}\n";
    return Status;
  }

  int Raw() {
    if (FArgs.Positional.size() != 1) return Usage("raw takes one argument, the line to send");
    const auto Readers = FindReaders();
    int Status = xsDone;
    const TReader* Chosen = Choose(Readers, Status);
    if (!Chosen) return Status;
    const std::string& Line = FArgs.Positional.front();
    if (IsFieldCommand(Line)) {
      const auto Answer = Ask(*Chosen, Line, Status);
      if (!Answer) return Status;
      if (Answer->Page) {
        FOut << "reader " << Chosen->Id << ": " << Answer->Page->Tags.size() << " of " << Answer->Page->Total
             << " tags\n";
        return xsDone;
      }
      return Report(*Chosen, Answer->State);
    }
    // A line of version 1, or anything else: the answer of version 1.
    const TExchange Reply = Exchange(*Chosen, Line, kTimeout, FWhileWaiting);
    if (Reply.Status == TExchangeStatus::esTimeout)
      return Failure(xsTimeout, "timeout", "reader " + Chosen->Id + " did not answer within 3 s: is its program busy or stopped? try again");
    const auto Answer = Reply.Status == TExchangeStatus::esOk ? ParseTagAnswer(Reply.Answer) : std::nullopt;
    if (!Answer)
      return Failure(xsRefused, "channel", "reader " + Chosen->Id + " gave no valid answer (it may have just closed): run quorvel-tags list");
    if (Answer->Error != TTagError::teNone)
      return Failure(Answer->Error == TTagError::teRange ? xsTagRange : xsRefused, "refused",
                     "reader " + Chosen->Id + " refused the command (" + std::string(TagErrorName(Answer->Error)) +
                         "); nothing was changed: check the command, or update quorvel-tags to the driver's version");
    TFieldState State;
    State.Shown = Answer->State.Shown;
    State.Field = Answer->State.Field;
    State.Count = State.Field.size();
    if (FArgs.Json) {
      FOut << "{\"id\":" << JsonText(Chosen->Id) << ",\"pid\":" << Chosen->Process << ",\"shown\":"
           << (State.Shown ? "true" : "false") << ",\"field\":" << FieldJson(State.Field) << "}\n";
    } else {
      FOut << "reader " << Chosen->Id << " (process " << Chosen->Process << ", window "
           << (State.Shown ? "shown" : "hidden") << "): field " << FieldText(State.Field) << "\n";
    }
    return xsDone;
  }

  int Present() {
    if (FArgs.Positional.empty()) return Usage("present needs tag numbers 1 to 8, e.g. quorvel-tags present 3 5");
    TFieldCommand Command;
    Command.Verb = TFieldVerb::fvPresent;
    Command.Notify = FArgs.Has("--notify");
    for (const auto& Tag : FArgs.Positional) {
      const auto Number = SmallNumber(Tag, 999999999);
      if (!Number) return Usage("\"" + Tag + "\" is no tag number: tags are numbered 1 to 8");
      if (*Number < kTagFirst || *Number > kTagLast)
        return Failure(xsTagRange, "tag-range", "tag " + Tag + " is out of range: tags are numbered 1 to 8; nothing was presented");
      Command.Tags.push_back(*Number);
    }
    return Single(FormatFieldCommand(Command));
  }

  std::optional<std::vector<TAddedTag>> TagsOfArguments(int& AStatus) {
    std::vector<TAddedTag> Tags;
    std::unordered_set<std::string> Seen;
    for (const auto& Arg : FArgs.Positional) {
      auto Tag = SplitAddedTag(Arg);
      std::string Error;
      if (!Tag) Error = "\"" + Arg + "\" is not TID[:EPC[:USER]]";
      else if (!ValidTagTID(Tag->TID)) Error = "TID \"" + Tag->TID + "\" is not 8 to 64 hexadecimal digits, an even count";
      else if (!ValidTagMemory(Tag->EPC) || !ValidTagMemory(Tag->User))
        Error = "\"" + Arg + "\": EPC and USER are hexadecimal with an even count of digits";
      else if (!Seen.insert(UpperAscii(Tag->TID)).second) Error = "TID " + Tag->TID + " is given twice";
      if (!Error.empty()) {
        AStatus = Usage(Error + "; nothing was added");
        return std::nullopt;
      }
      Tags.push_back(std::move(*Tag));
    }
    if (Tags.size() > kMaxAddedTags) {
      AStatus = Usage("more than " + std::to_string(kMaxAddedTags) + " tags; nothing was added");
      return std::nullopt;
    }
    return Tags;
  }

  std::optional<std::vector<TAddedTag>> TagsOfFile(int& AStatus) {
    const std::string& Path = FArgs.Options.at("--file");
    const auto Text = ReadWhole(Path);
    if (!Text) {
      AStatus = Usage("cannot read " + Path + "; nothing was added");
      return std::nullopt;
    }
    TTagCsv Csv = ReadTagCsv(*Text);
    if (Csv.BadLine != 0) {
      AStatus = Usage((Path == "-" ? std::string("standard input") : Path) + ", line " + std::to_string(Csv.BadLine) +
                      ": " + Csv.Error + "; nothing was added");
      return std::nullopt;
    }
    return std::move(Csv.Tags);
  }

  std::optional<std::vector<std::string>> Serials(TSgtinScheme AScheme, int& AStatus) {
    const std::string& Serials = FArgs.Options.at("--serials");
    std::string Error;
    if (auto Range = SerialRange(Serials, Error)) return Range;
    if (AScheme == TSgtinScheme::ssSgtin96) {
      AStatus = Usage(Error);
      return std::nullopt;
    }
    // SGTIN-198: a file of serials, one per line.
    const auto Text = ReadWhole(Serials);
    if (!Text) {
      AStatus = Usage("--serials " + Serials + " is neither FIRST-LAST nor a file that can be read");
      return std::nullopt;
    }
    std::vector<std::string> Result;
    std::istringstream Lines(*Text);
    std::size_t Number = 0;
    for (std::string Line; std::getline(Lines, Line);) {
      ++Number;
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      if (Line.empty()) continue;
      if (!ValidSgtinSerial(Line, AScheme, Error)) {
        AStatus = Usage(Serials + ", line " + std::to_string(Number) + ": " + Error + "; nothing was added");
        return std::nullopt;
      }
      Result.push_back(Line);
    }
    if (Result.empty() || Result.size() > kMaxAddedTags) {
      AStatus = Usage(Serials + " holds no serial, or more than " + std::to_string(kMaxAddedTags));
      return std::nullopt;
    }
    return Result;
  }

  std::optional<std::vector<TAddedTag>> TagsOfSgtin(const TReader& AReader, int& AStatus) {
    TSgtinRequest Request;
    Request.Gtin = FArgs.Options.at("--sgtin");
    if (!FArgs.Has("--serials")) {
      AStatus = Usage("--sgtin needs --serials FIRST-LAST");
      return std::nullopt;
    }
    const std::string Scheme = FArgs.Has("--scheme") ? FArgs.Options.at("--scheme") : "sgtin-96";
    if (Scheme != "sgtin-96" && Scheme != "sgtin-198") {
      AStatus = Usage("--scheme is sgtin-96 or sgtin-198");
      return std::nullopt;
    }
    Request.Scheme = Scheme == "sgtin-96" ? TSgtinScheme::ssSgtin96 : TSgtinScheme::ssSgtin198;
    const auto Filter = FArgs.Has("--filter") ? SmallNumber(FArgs.Options.at("--filter"), 7) : kSgtinDefaultFilter;
    const auto Length = FArgs.Has("--company-prefix-length")
                            ? SmallNumber(FArgs.Options.at("--company-prefix-length"), 12)
                            : kSgtinDefaultPrefixLength;
    if (!Filter || !Length || *Length < 6) {
      AStatus = Usage(!Filter ? "--filter is 0 to 7" : "--company-prefix-length is 6 to 12");
      return std::nullopt;
    }
    Request.Filter = *Filter;
    Request.PrefixLength = *Length;
    if (FArgs.Has("--tid-start")) Request.TIDStart = FArgs.Options.at("--tid-start");
    auto Serials = this->Serials(Request.Scheme, AStatus);
    if (!Serials) return std::nullopt;
    Request.Serials = std::move(*Serials);
    // Check the GTIN before asking the reader anything.
    std::string Error;
    if (!NormalizeGtin(Request.Gtin, Error)) {
      AStatus = Usage(Error);
      return std::nullopt;
    }
    const auto Present = Tags(AReader, AStatus);
    if (!Present) return std::nullopt;
    std::unordered_set<std::string> Taken;
    for (const auto& Tag : *Present) Taken.insert(UpperAscii(Tag.TID));
    for (const auto& TID : {"E28011002000589616B408A1", "E28011002000589616B408A2", "E28011002000589616B408A3",
                            "E28011002000589616B408A4", "E28011002000589616B408A5", "E28011002000589616B408A6",
                            "E28011002000589616B408A7", "E28011002000589616B408A8"})
      Taken.insert(TID);
    auto Tags = SgtinTags(Request, Taken, Error);
    if (!Tags) AStatus = Usage(Error + "; nothing was added");
    return Tags;
  }

  // Takes tags added by earlier parts of a refused add out again.
  void Undo(const TReader& AReader, const std::vector<TAddedTag>& ATags, std::size_t ACount) {
    TFieldCommand Command;
    Command.Verb = TFieldVerb::fvRemove;
    std::size_t Size = 0;
    for (std::size_t I = 0; I <= ACount; ++I) {
      if (I == ACount || Size + ATags[I].TID.size() + 1 > kFieldLineLimit - kLineReserve) {
        if (!Command.TIDs.empty()) (void)Exchange(AReader, FormatFieldCommand(Command), kTimeout, FWhileWaiting);
        Command.TIDs.clear();
        Size = 0;
        if (I == ACount) break;
      }
      Command.TIDs.push_back(ATags[I].TID);
      Size += ATags[I].TID.size() + 1;
    }
  }

  int Add() {
    const int Sources = (FArgs.Has("--file") ? 1 : 0) + (FArgs.Has("--sgtin") ? 1 : 0) + (FArgs.Positional.empty() ? 0 : 1);
    if (Sources != 1)
      return Usage("add takes tags as TID[:EPC[:USER]] arguments, or --file FILE, or --sgtin GTIN --serials FIRST-LAST");
    if (!FArgs.Has("--sgtin"))
      for (const char* Option : {"--serials", "--filter", "--company-prefix-length", "--scheme", "--tid-start"})
        if (FArgs.Has(Option)) return Usage(std::string(Option) + " goes with --sgtin only");
    const auto Readers = FindReaders();
    int Status = xsDone;
    std::optional<std::vector<TAddedTag>> Tags;
    const TReader* Chosen = nullptr;
    if (FArgs.Has("--sgtin")) {
      Chosen = Choose(Readers, Status);
      if (!Chosen) return Status;
      Tags = TagsOfSgtin(*Chosen, Status);
    } else {
      Tags = FArgs.Has("--file") ? TagsOfFile(Status) : TagsOfArguments(Status);
      if (Tags) Chosen = Choose(Readers, Status);
    }
    if (!Tags || !Chosen) return Status;
    if (Tags->empty()) return Usage("no tag to add");
    const auto Lines = AddCommands(*Tags, FArgs.Has("--notify"));
    std::size_t Done = 0;
    std::optional<TFieldAnswer> Answer;
    for (const auto& [Line, Count] : Lines) {
      Answer = Ask(*Chosen, Line, Status);
      if (!Answer) {
        if (Done > 0) Undo(*Chosen, *Tags, Done);
        return Status;
      }
      Done += Count;
    }
    return Report(*Chosen, Answer->State);
  }

  int Remove() {
    if (FArgs.Positional.empty()) return Usage("remove needs tag numbers 1 to 8 or TIDs");
    TFieldCommand Command;
    Command.Verb = TFieldVerb::fvRemove;
    for (const auto& Item : FArgs.Positional) {
      if (Item.size() == 1 && Item[0] >= '0' && Item[0] <= '9') {
        if (Item[0] < '1' || Item[0] > '8')
          return Failure(xsTagRange, "tag-range", "tag " + Item + " is out of range: tags are numbered 1 to 8; nothing was removed");
        Command.Tags.push_back(Item[0] - '0');
      } else if (ValidTagTID(Item)) {
        Command.TIDs.push_back(Item);
      } else {
        return Usage("\"" + Item + "\" is neither a tag number 1 to 8 nor a TID; nothing was removed");
      }
    }
    const std::string Line = FormatFieldCommand(Command);
    if (Line.size() > kFieldLineLimit) return Usage("too many tags for one remove; nothing was removed");
    return Single(Line);
  }

  int Fail() {
    TFieldCommand Command;
    if (FArgs.Positional.size() == 1 && FArgs.Positional[0] == "clear") {
      if (FArgs.Has("--times") || FArgs.Has("--message")) return Usage("fail clear takes no options");
      Command.Verb = TFieldVerb::fvFailClear;
      return Single(FormatFieldCommand(Command));
    }
    const auto Kind = FArgs.Positional.size() == 1
                          ? std::find(kFailKindNames.begin(), kFailKindNames.end(), FArgs.Positional[0])
                          : kFailKindNames.end();
    if (Kind == kFailKindNames.end())
      return Usage("fail takes read, write, session or clear, e.g. quorvel-tags fail write --times 2");
    Command.Verb = TFieldVerb::fvFail;
    Command.Fail = static_cast<TFailKind>(Kind - kFailKindNames.begin());
    if (FArgs.Has("--times")) {
      const auto Times = SmallNumber(FArgs.Options.at("--times"), kFailTimesLimit);
      if (!Times || *Times < 1) return Usage("--times is 1 to " + std::to_string(kFailTimesLimit));
      Command.Times = *Times;
    }
    if (FArgs.Has("--message")) {
      Command.Message = FArgs.Options.at("--message");
      if (Command.Message.empty() || Command.Message.size() > 1000) return Usage("--message is 1 to 1000 bytes of text");
    }
    return Single(FormatFieldCommand(Command));
  }

  int Decode() {
    if (FArgs.Positional.empty()) return Usage("decode needs EPCs in hexadecimal");
    int Status = xsDone;
    std::string Json;
    for (const auto& EPC : FArgs.Positional) {
      const auto Sgtin = DecodeSgtin(EPC);
      if (!Sgtin) Status = xsRefused;
      if (FArgs.Json) {
        std::string Item = "{\"epc\":" + JsonText(EPC) + ",\"sgtin\":" + (Sgtin ? "true" : "false");
        if (Sgtin)
          Item += ",\"uri\":" + JsonText(SgtinPureUri(*Sgtin)) + ",\"tag_uri\":" + JsonText(SgtinTagUri(*Sgtin)) +
                  ",\"gtin\":" + JsonText(SgtinGtin(*Sgtin)) + ",\"serial\":" + JsonText(Sgtin->Serial) +
                  ",\"filter\":" + std::to_string(Sgtin->Filter);
        Json += (Json.empty() ? "" : ",") + Item + "}";
      } else if (Sgtin) {
        FOut << EPC << ": " << SgtinPureUri(*Sgtin) << "  GTIN " << SgtinGtin(*Sgtin) << " serial " << Sgtin->Serial
             << "  (" << SgtinTagUri(*Sgtin) << ")\n";
      } else {
        FOut << EPC << ": not an SGTIN-96 or SGTIN-198 EPC\n";
      }
    }
    if (FArgs.Json) FOut << "{\"decoded\":[" << Json << "]}\n";
    return Status;
  }

  void Wait(int AMilliseconds) {
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(AMilliseconds);
    while (std::chrono::steady_clock::now() < Until) {
      if (FWhileWaiting) FWhileWaiting();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  int RunScenario() {
    if (FInScenario) return Usage("a scenario cannot run another one");
    if (FArgs.Positional.size() != 1) return Usage("run takes one file, the scenario");
    const std::string& Path = FArgs.Positional.front();
    const auto Text = ReadWhole(Path);
    if (!Text) return Usage("cannot read " + Path);
    std::istringstream Lines(*Text);
    std::size_t Number = 0;
    for (std::string Line; std::getline(Lines, Line);) {
      ++Number;
      const auto Words = SplitWords(Line);
      const std::string Where = Path + ", line " + std::to_string(Number) + ": ";
      if (!Words) return Usage(Where + "a quote is not closed");
      if (Words->empty() || (*Words)[0][0] == '#') continue;
      if ((*Words)[0] == "wait") {
        const auto Ms = Words->size() == 2 ? SmallNumber((*Words)[1], 600000) : std::nullopt;
        if (!Ms) return Usage(Where + "wait takes milliseconds, 0 to 600000");
        Wait(*Ms);
        continue;
      }
      std::vector<std::string> Args;
      if (FArgs.Reader) Args.insert(Args.end(), {"--reader", *FArgs.Reader});
      if (FArgs.Json) Args.push_back("--json");
      Args.insert(Args.end(), Words->begin(), Words->end());
      const int Status = TTool(FOut, FErr, FWhileWaiting, true).Run(Args);
      if (Status != xsDone) {
        FErr << "quorvel-tags: " << Where << "\"" << Line << "\" failed (exit status " << Status
             << "); the scenario stops here\n";
        return Status;
      }
    }
    return xsDone;
  }

  std::ostream& FOut;
  std::ostream& FErr;
  const std::function<void()>& FWhileWaiting;
  bool FInScenario;
  TArgs FArgs;
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
  std::vector<std::string> Args = SplitWords(AArgs).value_or(std::vector<std::string>{AArgs});
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
