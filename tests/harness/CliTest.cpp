// The v8host command-line tool run as a program on the built add-in.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include "AddinFixture.h"
#include "HarnessPaths.h"
#include "v8host/Text.h"

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

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
// library unloads: the closing line lands in the day's log file.
TEST(HostTool, ALoggingPeriodOpenAtExitIsClosedInTheDaysFile) {
  const char* Base = std::getenv("ProgramData");
  if (Base == nullptr) Base = std::getenv("XDG_DATA_HOME");
  if (Base == nullptr) GTEST_SKIP() << "no data folder to look into";
  const TRun run = RunTool(Quoted(harness::AddinPath()) + " quorvel LogEnabled=true GetInterfaceRevision");
  ASSERT_EQ(run.Status, 0) << run.Output;
  const std::time_t Now = std::time(nullptr);
  char Date[16];
  std::strftime(Date, sizeof Date, "%Y.%m.%d", std::localtime(&Now));
  const std::string File = std::string(Base) + "/Halvessa/quorvel/quorvel_" + Date + ".log";
  std::ifstream In(File, std::ios::binary);
  ASSERT_TRUE(In.good()) << File;
  const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  const std::string Footer = "============Stop log===============\r\n\r\n";
  ASSERT_GE(Text.size(), Footer.size());
  EXPECT_EQ(Text.substr(Text.size() - Footer.size()), Footer);
  EXPECT_TRUE(Has(Text, "\tDEBUG\t> GetInterfaceRevision: \tParams: []")) << Text;
}
