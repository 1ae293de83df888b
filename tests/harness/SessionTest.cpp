// The v8host tool's session output, against the in-process fake add-in.
#include <gtest/gtest.h>

#include <sstream>

#include "FakeAddin.h"
#include "v8host/Session.h"

using namespace v8host;

namespace {

class SessionTest : public ::testing::Test {
 protected:
  std::string Run(std::initializer_list<const char*> ALines) {
    TComponent component(Library, Host, u"Fake");
    TSession session(component, Out);
    for (const char* line : ALines) session.Execute(line);
    Failures = session.Failures();
    return Out.str();
  }

  TAddinLibrary Library = TAddinLibrary::FromEntryPoints(fake::EntryPoints());
  THost Host;
  std::ostringstream Out;
  int Failures = 0;
};

bool Has(const std::string& AText, const std::string& APart) { return AText.find(APart) != std::string::npos; }

}  // namespace

TEST_F(SessionTest, PrintsResultsOutParametersAndReports) {
  const std::string out = Run({"Эхо(\"ping\")", "Value = 3", "Значение", "Count", "# nothing", "Echo(2026-12-08T10:00:00)"});
  EXPECT_EQ(Failures, 0) << out;
  EXPECT_TRUE(Has(out, "> Эхо(\"ping\")\n< \"ping\" [PWSTR]\n  out 1: \"out\" [PWSTR]\n")) << out;
  EXPECT_TRUE(Has(out, "> Value = 3\n< ok\n")) << out;
  EXPECT_TRUE(Has(out, "> Значение\n< 3 [I4]\n")) << out;
  // A bare method name is a call; missing arguments are passed as undefined.
  EXPECT_TRUE(Has(out, "> Count()\n* ExternalEvent source=\"Fake\" message=\"Count\" data=\"2\"\n< ok\n")) << out;
  EXPECT_TRUE(Has(out, "< 2026-12-08T10:00:00 [TM]")) << out;
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

TEST_F(SessionTest, CountsEveryKindOfFailure) {
  const std::string out =
      Run({"Fail()", "Echo(false)", "Echo(1, 2)", "Nothing()", "Value = \"x\"", "Echo(1", "Echo(true)"});
  EXPECT_EQ(Failures, 6) << out;
  EXPECT_TRUE(Has(out, "! AddError code=1006 source=\"Fake\" description=\"failed on purpose\"")) << out;
  EXPECT_TRUE(Has(out, "< FAILED: CallAsFunc answered false")) << out;
  EXPECT_TRUE(Has(out, "< false [BOOL]\n  (the method reports failure)")) << out;
  EXPECT_TRUE(Has(out, "too many arguments: the method takes 1")) << out;
  EXPECT_TRUE(Has(out, "no method or property \"Nothing\"")) << out;
  EXPECT_TRUE(Has(out, "SetPropVal answered false")) << out;
  EXPECT_TRUE(Has(out, "syntax: column 7")) << out;
}
