// The v8host tool's session output, against the in-process fake add-in.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "FakeAddin.h"
#include "v8host/Session.h"

using namespace v8host;

namespace {

class SessionTest : public ::testing::Test {
 protected:
  std::string Run(std::initializer_list<const char*> ALines, bool APretty = false,
                  TSession::TDirectiveHandler AHandler = nullptr) {
    TComponent component(Library, Host, u"Fake");
    TSession session(component, Out);
    session.SetPrettyXml(APretty);
    session.SetDirectiveHandler(std::move(AHandler));
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

TEST_F(SessionTest, PrettyXmlShowsDocumentsIndentedAndOtherTextsQuoted) {
  const std::string out = Run({"Echo(\"<a><b>x</b></a>\")", "Echo(\"<a><b></a>\")", "Echo(\"plain\")"}, true);
  EXPECT_EQ(Failures, 0) << out;
  EXPECT_TRUE(Has(out, "> Echo(\"<a><b>x</b></a>\")\n< [PWSTR, 15 characters of XML]\n      <a>\n        <b>x</b>\n      </a>\n"))
      << out;
  EXPECT_TRUE(Has(out, "< \"<a><b></a>\" [PWSTR]\n")) << "badly nested: shown as it is\n" << out;
  EXPECT_TRUE(Has(out, "< \"plain\" [PWSTR]\n")) << out;
}

TEST_F(SessionTest, EchoPrintsAndOtherDirectivesGoToTheHandler) {
  std::vector<std::string> seen;
  const std::string out = Run({":echo -- two tags --", ":present 2", ":present 9", ":pump 0"}, false,
                              [&seen](const std::u16string& AName, const std::string& AText) {
                                seen.push_back(std::string(AName.begin(), AName.end()) + " " + AText);
                                return AText != "9";
                              });
  EXPECT_EQ(Failures, 1) << out;
  EXPECT_EQ(seen, (std::vector<std::string>{"present 2", "present 9"}));
  EXPECT_TRUE(Has(out, "-- two tags --\n> :present 2\n> :present 9\n< FAILED: :present failed\n> :pump 0\n")) << out;

  std::ostringstream().swap(Out);
  const std::string unhandled = Run({":present 1"});
  EXPECT_EQ(Failures, 1);
  EXPECT_TRUE(Has(unhandled, "< FAILED: unknown directive \":present\"")) << unhandled;
}
