// v8host: loads a Native API add-in and drives it the way the 1C:Enterprise
// platform does. See Usage() below.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "quorvel-tags/Tool.h"
#include "v8host/Component.h"
#include "v8host/Error.h"
#include "v8host/Pump.h"
#include "v8host/Session.h"
#include "v8host/Text.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace {

constexpr int kExitCallFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLoad = 3;

const char* const kUsage = R"(Usage:
  v8host [OPTIONS] LIBRARY CLASS [CALL ...]
  v8host [OPTIONS] --script FILE LIBRARY CLASS [CALL ...]
  v8host --list LIBRARY [CLASS]
  v8host --help

Loads the Native API add-in LIBRARY, creates an object of CLASS the way the
1C:Enterprise platform does (GetClassObject, setMemManager, Init, SetLocale,
RegisterExtensionAs), runs the calls, then Done and DestroyObject.

Each CALL (one command-line argument, or one line of the script) is:
  Name                 read a property, or call a method without arguments
  Name(arg, ...)       call a method
  Name=value           write a property
  :pump MS             let the add-in's windows process input for MS ms
  :echo TEXT           print TEXT (a caption between the calls)
  :tags ARGS           run the reader control tool with ARGS (quorvel-tags
                       --help), e.g. ":tags present 3 5": it reaches the tag
                       window through the same channel as the tool
  # ...                a comment (scripts; blank lines are ignored too)
Names may be English or Russian. Arguments are literals:
  42  -7  1.5  1e3     numbers (32-bit integers as I4, others as R8)
  "text"               a text (PWSTR); escapes \" \\ \n \r \t \uXXXX
  true  false          Booleans (also Истина, Ложь)
  2026-12-08T10:00:00  a date and time (TM); the time may be left out
  undefined  null      Неопределено (EMPTY), NULL
Missing trailing arguments are passed as undefined; parameters are passed
as variables, so values the add-in writes into them are shown ("out N:").
Command-line calls run first, then the script's.

Output: "> call", then the add-in's reports as they arrive ("! AddError",
"* ExternalEvent"), then "< result [TYPE]" or "< FAILED: reason"; with
--pretty, texts that are XML documents follow their type indented, one
element per line.

Options:
  --list               list the classes, and for each its methods (both
                       names, parameter count, function or procedure) and
                       properties (both names, readable/writable)
  --script FILE        run the calls in FILE (UTF-8), one per line; FILE "-"
                       is standard input, each line run as it arrives (so
                       another program can drive the session step by step)
  --pretty             show XML texts indented (see Output)
  --locale LOCALE      the text passed to SetLocale (default ru_RU)
  --pump MS            after every call, let windows process input for MS ms
  --help               this text

Exit status: 0 when every call succeeded; 1 when a call failed (the add-in
answered false, a method returned the Boolean false, or a line was wrong) or
the add-in freed memory it did not own (double or unknown free, listed at
the end with any blocks it kept);
2 for a usage error; 3 when the library or the class cannot be loaded.
)";

struct TOptions {
  bool List = false;
  bool Pretty = false;
  bool Help = false;
  std::string Script;
  std::string Locale = "ru_RU";
  int PumpMs = 0;
  std::vector<std::string> Positional;
};

int UsageError(const std::string& AWhat) {
  std::cerr << "v8host: " << AWhat << "\n(see v8host --help)\n";
  return kExitUsage;
}

// Returns a non-negative exit code on a usage error, -1 when all is well.
int ParseOptions(const std::vector<std::string>& AArgs, TOptions& AOptions) {
  for (std::size_t i = 0; i < AArgs.size(); ++i) {
    const std::string& arg = AArgs[i];
    auto value = [&]() -> const std::string* { return i + 1 < AArgs.size() ? &AArgs[++i] : nullptr; };
    if (arg == "--help" || arg == "-h") {
      AOptions.Help = true;
    } else if (arg == "--list") {
      AOptions.List = true;
    } else if (arg == "--pretty") {
      AOptions.Pretty = true;
    } else if (arg == "--script" || arg == "--locale" || arg == "--pump") {
      const std::string* v = value();
      if (!v) return UsageError(arg + " needs a value");
      if (arg == "--script") AOptions.Script = *v;
      if (arg == "--locale") AOptions.Locale = *v;
      if (arg == "--pump") {
        char* end = nullptr;
        const long ms = std::strtol(v->c_str(), &end, 10);
        if (v->empty() || *end != '\0' || ms < 0) return UsageError("--pump needs milliseconds");
        AOptions.PumpMs = static_cast<int>(ms);
      }
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      return UsageError("unknown option " + arg);
    } else {
      AOptions.Positional.push_back(arg);
    }
  }
  return -1;
}

v8host::TStartOptions StartOptions(const TOptions& AOptions) {
  v8host::TStartOptions start;
  start.Locale = v8host::ToUtf16(AOptions.Locale);
  return start;
}

int List(const v8host::TAddinLibrary& ALibrary, const TOptions& AOptions) {
  const std::vector<std::u16string> classes = ALibrary.ClassNames();
  std::cout << "Library " << ALibrary.Path() << "\n";
  std::cout << "Classes: " << classes.size() << "\n";
  if (classes.empty()) std::cout << "  (no classes registered)\n";
  int status = 0;
  for (const std::u16string& name : classes) {
    if (AOptions.Positional.size() > 1 && v8host::ToUtf8(name) != AOptions.Positional[1]) continue;
    v8host::THost host;
    try {
      v8host::TComponent component(ALibrary, host, name, StartOptions(AOptions));
      v8host::PrintListing(component, name, std::cout);
    } catch (const std::exception& e) {
      std::cout << "Class " << v8host::ToUtf8(name) << ": " << e.what() << "\n";
      status = kExitLoad;
    }
  }
  return status;
}

bool ReadScript(const std::string& APath, std::vector<std::string>& ALines) {
  std::ifstream file(std::filesystem::path(std::u8string(APath.begin(), APath.end())), std::ios::binary);
  if (!file) return false;
  std::string line;
  bool first = true;
  while (std::getline(file, line)) {
    if (first && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // byte-order mark
    first = false;
    ALines.push_back(line);
  }
  return true;
}

int Run(const std::vector<std::string>& AArgs) {
  TOptions options;
  if (const int status = ParseOptions(AArgs, options); status >= 0) return status;
  if (options.Help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.Positional.empty()) return UsageError("LIBRARY expected");
  if (!options.List && options.Positional.size() < 2) return UsageError("CLASS expected");

  std::vector<std::string> calls(options.Positional.begin() + std::min<std::size_t>(2, options.Positional.size()),
                                 options.Positional.end());
  const bool fromInput = options.Script == "-";
  if (!options.Script.empty() && !fromInput && !ReadScript(options.Script, calls))
    return UsageError("cannot read the script " + options.Script);

  try {
    const v8host::TAddinLibrary library = v8host::TAddinLibrary::Load(options.Positional[0]);
    if (options.List) return List(library, options);

    v8host::THost host;
    v8host::PrintReports(host.Services, std::cout);  // also what the start sequence reports
    const std::u16string className = v8host::ToUtf16(options.Positional[1]);
    v8host::TComponent component(library, host, className, StartOptions(options));
    v8host::TSession session(component, std::cout);
    session.SetPumpAfterCall(std::chrono::milliseconds(options.PumpMs));
    session.SetPrettyXml(options.Pretty);
    session.SetDirectiveHandler([](const std::u16string& AName, const std::string& AText) {
      if (AName != u"tags") {
        std::cout << "  (unknown directive)\n";
        return false;
      }
      return quorvel_tags::RunTagToolLine(AText, std::cout, [] { v8host::PumpMessages(std::chrono::milliseconds(0)); }) == 0;
    });
    for (const std::string& call : calls) session.Execute(call);
    if (fromInput) {
      for (std::string line; std::getline(std::cin, line);) session.Execute(line);
    }
    component.Finish();
    // Blocks the add-in took and never handed over or gave back.
    if (host.Memory.LiveBlocks() != 0)
      std::cout << "# " << host.Memory.LiveBlocks() << " block(s) of the memory manager still live\n";
    const bool memoryFaults = !host.Memory.Errors().empty();
    if (memoryFaults) std::cout << "# memory errors:\n" << host.Memory.ErrorReport();
    return session.Failures() > 0 || memoryFaults ? kExitCallFailed : 0;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "v8host: " << e.what() << "\n";
    return kExitLoad;
  }
}

std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
  // The ANSI argv cannot carry Russian names; take the UTF-16 command line.
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) {
    const std::wstring arg(wide[i]);
    args.push_back(v8host::ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  LocalFree(wide);
  return args;
#else
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  // UTF-8 bytes and "\n" go out unchanged.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  return Run(Arguments(argc, argv));
}
