// The v8host command-line tool run as a program on the built add-in.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AddinFixture.h"
#include "HarnessPaths.h"
#include "v8host/Text.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

struct TRun {
  int Status = -1;
  std::string Output;
};

// Under Wine the tool is started through cmd.exe, which needs DOS paths.
std::string NativePath(std::string APath) {
#if defined(_WIN32)
  if (!APath.empty() && APath[0] == '/') APath = "Z:" + APath;
  for (char& c : APath)
    if (c == '/') c = '\\';
#endif
  return APath;
}

TRun RunTool(const std::string& AArguments) {
  std::string command = "\"" + NativePath(harness::HostToolPath()) + "\" " + AArguments + " 2>&1";
#if defined(_WIN32)
  command = "\"" + command + "\"";  // cmd /c strips one pair of quotes
  FILE* pipe = _popen(command.c_str(), "rb");
#else
  FILE* pipe = popen(command.c_str(), "r");
#endif
  TRun run;
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.Output.append(buffer, n);
#if defined(_WIN32)
  run.Status = _pclose(pipe);
#else
  const int status = pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  return run;
}

std::string Quoted(const std::string& APath) { return "\"" + NativePath(APath) + "\""; }

bool Has(const std::string& AText, const std::string& APart) { return AText.find(APart) != std::string::npos; }

std::size_t Count(const std::string& AText, const std::string& APart) {
  std::size_t N = 0;
  for (std::size_t At = AText.find(APart); At != std::string::npos; At = AText.find(APart, At + 1)) ++N;
  return N;
}

// The local date as the log's file names write it.
std::string Today() {
  const std::time_t Now = std::time(nullptr);
  char Date[16];
  std::strftime(Date, sizeof Date, "%Y.%m.%d", std::localtime(&Now));
  return Date;
}

// A fresh folder of this test's, removed with everything in it at the end.
struct TTempFolder {
  explicit TTempFolder(const std::string& AName)
      : Path(fs::path(::testing::TempDir()) /
             (AName + "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
    fs::create_directories(Path);
  }
  ~TTempFolder() {
    std::error_code Ignored;
    fs::remove_all(Path, Ignored);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const fs::path Path;
};

#if defined(_WIN32)
// Wine's shell answers the common application-data folder from its registry
// whatever ProgramData says in the environment, so there a run shares the log
// folder with earlier ones: only what the run appends to it counts.
fs::path LogFolderOfRun(const fs::path&) {
  const char* Base = std::getenv("ProgramData");
  return Base != nullptr ? fs::path(Base) / "Halvessa" / "quorvel" : fs::path();
}
struct TScopedDataFolder {
  explicit TScopedDataFolder(const fs::path&) {}
};
#else
fs::path LogFolderOfRun(const fs::path& AData) { return AData / "Halvessa" / "quorvel"; }

// Points the data folder of the programs this test starts at AFolder while
// it lives.
class TScopedDataFolder {
public:
  explicit TScopedDataFolder(const fs::path& AFolder) {
    if (const char* Value = std::getenv("XDG_DATA_HOME")) FPrevious = Value;
    setenv("XDG_DATA_HOME", AFolder.c_str(), 1);
  }
  ~TScopedDataFolder() {
    if (FPrevious)
      setenv("XDG_DATA_HOME", FPrevious->c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
  }
  TScopedDataFolder(const TScopedDataFolder&) = delete;
  TScopedDataFolder& operator=(const TScopedDataFolder&) = delete;

private:
  std::optional<std::string> FPrevious;
};
#endif

// The size of each file in AFolder (none when it does not exist).
std::map<fs::path, std::uintmax_t> FileSizes(const fs::path& AFolder) {
  std::map<fs::path, std::uintmax_t> Sizes;
  std::error_code Error;
  for (const auto& Entry : fs::directory_iterator(AFolder, Error)) Sizes[Entry.path()] = Entry.file_size();
  return Sizes;
}

}  // namespace

TEST(HostTool, HelpDescribesTheSyntax) {
  const TRun run = RunTool("--help");
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "Usage:"));
  EXPECT_TRUE(Has(run.Output, "--script FILE"));
  EXPECT_TRUE(Has(run.Output, "Name=value"));
}

TEST(HostTool, UsageAndLoadFailuresHaveTheirOwnExitStatus) {
  EXPECT_EQ(RunTool("").Status, 2);
  EXPECT_EQ(RunTool("--bogus x").Status, 2);
  EXPECT_EQ(RunTool(Quoted(harness::AddinPath())).Status, 2) << "CLASS missing";
  const TRun missing = RunTool("/no/such/library.so Foo");
  EXPECT_EQ(missing.Status, 3) << missing.Output;
  const TRun unknown = RunTool(Quoted(harness::AddinPath()) + " NoSuchClass");
  EXPECT_EQ(unknown.Status, 3) << unknown.Output;
  EXPECT_TRUE(Has(unknown.Output, "GetClassObject(\"NoSuchClass\") answered 0")) << unknown.Output;
}

TEST(HostTool, ListShowsEveryRegisteredClassWithItsMembers) {
  const TRun run = RunTool("--list " + Quoted(harness::AddinPath()));
  const auto classes = harness::Addin().ClassNames();
  ASSERT_EQ(classes, std::vector<std::u16string>{harness::kClassName});
  EXPECT_TRUE(Has(run.Output, "Classes: 1")) << run.Output;
  EXPECT_EQ(run.Status, 0) << run.Output;

  v8host::THost host;
  for (const std::u16string& name : classes) {
    EXPECT_TRUE(Has(run.Output, "Class " + v8host::ToUtf8(name))) << run.Output;
    v8host::TComponent component(harness::Addin(), host, name);
    for (const auto& method : component.Methods()) {
      const std::string line = v8host::ToUtf8(method.Name) + " / " + v8host::ToUtf8(method.LocalName) + "  params " +
                               std::to_string(method.ParamCount);
      EXPECT_TRUE(Has(run.Output, line)) << line;
    }
    for (const auto& prop : component.Props())
      EXPECT_TRUE(Has(run.Output, v8host::ToUtf8(prop.Name) + " / " + v8host::ToUtf8(prop.LocalName)));
  }
}

TEST(HostTool, ScriptLinesRunAndAFailedOneSetsTheExitStatus) {
  const std::string script = ::testing::TempDir() + "v8host-script.txt";
  {
    std::ofstream file(script, std::ios::binary);
    file << "\xEF\xBB\xBF# a comment, then a blank line\n\nNoSuchMethod(1, \"два\")\n";
  }
  const TRun run = RunTool("--script " + Quoted(script) + " " + Quoted(harness::AddinPath()) + " quorvel");
  std::remove(script.c_str());
  EXPECT_EQ(run.Status, 1) << run.Output;
  EXPECT_TRUE(Has(run.Output, "> NoSuchMethod(1, \"два\")\n< FAILED: no method or property \"NoSuchMethod\""))
      << run.Output;
}

TEST(HostTool, StandardInputDrivesTheSessionAndPrettyShowsXml) {
  const std::string input = ::testing::TempDir() + "v8host-input.txt";
  {
    std::ofstream file(input, std::ios::binary);
    file << ":echo == description ==\r\nGetDescription()\nGetInterfaceRevision()\n";
  }
  const TRun run = RunTool("--pretty --script - " + Quoted(harness::AddinPath()) + " quorvel < " + Quoted(input));
  std::remove(input.c_str());
  EXPECT_EQ(run.Status, 0) << run.Output;
  EXPECT_TRUE(Has(run.Output, "== description ==\n> GetDescription()\n< true [BOOL]\n  out 1: [PWSTR, ")) << run.Output;
  EXPECT_TRUE(Has(run.Output, "characters of XML]\n      <?xml version=\"1.0\" encoding=\"UTF-8\"?>\n      <DriverDescription\n"))
      << run.Output;
  EXPECT_TRUE(Has(run.Output, "> GetInterfaceRevision()\n< 3002 [I4]\n")) << run.Output;
}

// A process that ends with logging on closes its logging period while the
// library unloads: what the run writes, into a data folder of its own where
// the system lets it be chosen, is exactly one period - header, the call's
// trace lines, footer - in the files of the days it ran (two, should the run
// cross midnight).
TEST(HostTool, ALoggingPeriodOpenAtExitIsClosedInTheDaysFile) {
  const TTempFolder Data("quorvel-cli-data");
  const fs::path LogFolder = LogFolderOfRun(Data.Path);
  ASSERT_FALSE(LogFolder.empty()) << "no data folder";
  const auto Before = FileSizes(LogFolder);
  const std::string FirstDay = Today();
  TRun run;
  {
    const TScopedDataFolder Folder(Data.Path);
    run = RunTool(Quoted(harness::AddinPath()) + " quorvel LogEnabled=true GetInterfaceRevision");
  }
  const std::string LastDay = Today();
  ASSERT_EQ(run.Status, 0) << run.Output;

  // What the run wrote, file by file in the order of the days.
  std::string Text;
  for (const auto& [File, Size] : FileSizes(LogFolder)) {
    const auto Earlier = Before.find(File);
    const std::uintmax_t From = Earlier == Before.end() ? 0 : Earlier->second;
    if (Size == From) continue;
    const std::string Name = File.filename().string();
    ASSERT_EQ(Name.size(), std::string("quorvel_2026.12.09.log").size()) << Name;
    ASSERT_TRUE(Name.rfind("quorvel_", 0) == 0 && Name.substr(Name.size() - 4) == ".log") << Name;
    const std::string Day = Name.substr(8, 10);
    EXPECT_TRUE(Day >= FirstDay && Day <= LastDay) << Name << " for a run from " << FirstDay << " to " << LastDay;
    std::ifstream In(File, std::ios::binary);
    In.seekg(static_cast<std::streamoff>(From));
    Text.append(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  ASSERT_FALSE(Text.empty()) << "the run wrote no log in " << LogFolder.string() << ": " << run.Output;

  const std::string Header = std::string(40, ' ') + "\r\n============Start log=============\r\n";
  const std::string Footer = "============Stop log===============\r\n\r\n";
  EXPECT_EQ(Count(Text, "Start log"), 1u) << Text;
  EXPECT_EQ(Count(Text, "Stop log"), 1u) << Text;
  EXPECT_EQ(Text.rfind(Header, 0), 0u) << Text;
  ASSERT_GE(Text.size(), Footer.size());
  EXPECT_EQ(Text.substr(Text.size() - Footer.size()), Footer) << Text;
  const std::size_t Call = Text.find("\tDEBUG\t> GetInterfaceRevision: \tParams: []\r\n");
  const std::size_t Answer = Text.find("\tDEBUG\t< GetInterfaceRevision: \tResult=3002; Params: []\r\n");
  EXPECT_NE(Call, std::string::npos) << Text;
  EXPECT_NE(Answer, std::string::npos) << Text;
  EXPECT_LT(Call, Answer) << Text;
}
