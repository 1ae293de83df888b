// Faults of the machine around the driver, as the platform meets them: a log
// folder that cannot be created, a log file another writer holds for longer
// than the log waits, a help text the library does not hold and a settings
// template that does not parse. Each ends in a clear error for the host and
// leaves an object that works once the fault is gone.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "common/LogAppend.h"
#include "common/Text.h"
#include "unit/InProcessHost.h"
#include "unit/faults/FaultProbeDriver.h"
#include "unit/faults/HeldFile.h"
#include "unit/faults/HostBlocks.h"
#include "unit/log/LogSandbox.h"

using v8host::TValue;

namespace {

const bool Registered = [] {
  TCustomDriver::RegisterClass<TFaultProbeDriver>(kFaultProbeDriver);
  return true;
}();

class HostFaults : public LogTest::TLogSandbox {
protected:
  void TearDown() override {
    C.reset();
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
    FaultTest::ReleaseReportedDescriptions(Host);
    EXPECT_EQ(Host.Memory.LiveBlocks(), 0u) << FaultTest::LiveBlocksReport(Host);
    TLogSandbox::TearDown();
  }

  void Create(std::u16string_view AClass = kDriverExtension) {
    C = std::make_unique<v8host::TComponent>(InProcessAddin(), Host, AClass);
  }
  // A method call; answers whether it succeeded: the call answered and a
  // Boolean result (the driver's own) is true.
  bool Run(std::u16string_view AName, std::vector<TValue> AParams = {}) {
    Last = C->Call(AName, AParams);
    return Last.Ok && (Last.Result.Type != VTYPE_BOOL || Last.Result.Bool);
  }
  std::pair<std::int64_t, std::u16string> LastError() {
    const auto R = C->CallAsFunc(u"GetLastError", {TValue::Empty()});
    EXPECT_TRUE(R.Ok);
    return {R.Result.Int, R.Params.at(0).Text};
  }
  void SwitchLog(bool AOn) { ASSERT_TRUE(C->SetPropVal(u"LogEnabled", TValue::Boolean(AOn))); }
  // The descriptions of the host's error reports so far.
  std::vector<std::u16string> Reports() const {
    std::vector<std::u16string> Texts;
    for (const auto& Error : Host.Services.Errors()) Texts.push_back(Error.Description);
    return Texts;
  }
  // A regular file where the log folder should be.
  void BlockLogFolder() {
    std::filesystem::create_directories(LogFolder().parent_path());
    std::ofstream(LogFolder()) << "not a folder";
    ASSERT_TRUE(std::filesystem::is_regular_file(LogFolder()));
  }

  v8host::THost Host;
  std::unique_ptr<v8host::TComponent> C;
  v8host::TCallResult Last;
};

bool StartsWith(const std::u16string& AText, std::u16string_view APrefix) {
  return AText.compare(0, APrefix.size(), APrefix) == 0;
}

TEST_F(HostFaults, LogFolderThatCannotBeCreated) {
  Create();
  BlockLogFolder();
  const std::u16string Folder = LogFolder().u16string();

  // Log off: only the description needs the folder (its LogPath); the
  // method fails with the system's reason.
  EXPECT_FALSE(Run(u"GetDescription", {TValue::Empty()}));
  EXPECT_TRUE(Last.Ok);
  auto [Code, Text] = LastError();
  EXPECT_EQ(Code, 1001);
  EXPECT_TRUE(StartsWith(Text, u"Cannot create the folder " + Folder)) << ToUtf8(Text);
  EXPECT_TRUE(Run(u"GetInterfaceRevision")) << "calls that do not log are untouched";

  // Log on: every traced call fails before it runs, reported to the host.
  SwitchLog(true);
  EXPECT_FALSE(C->CallAsFunc(u"Open", {TValue::Empty()}).Ok);
  EXPECT_FALSE(UserObjectOf<TDriver>(*C).Enabled()) << "the routine did not run";
  ASSERT_EQ(Host.Services.Errors().size(), 1u);
  EXPECT_EQ(Host.Services.Errors()[0].Code, 1006);
  EXPECT_TRUE(StartsWith(Reports()[0], u"Cannot create the folder " + Folder)) << ToUtf8(Reports()[0]);

  // The folder can be made again: the same object logs and works.
  std::filesystem::remove(LogFolder());
  EXPECT_TRUE(Run(u"Open", {TValue::Empty()}));
  EXPECT_TRUE(Last.Ok);
  EXPECT_TRUE(Run(u"GetDescription", {TValue::Empty()}));
  const auto Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_GE(Lines.size(), 10u);
  EXPECT_EQ(Lines[1], "============Start log=============");
  EXPECT_EQ(Lines[6], "2026.12.07 09:05:03.007\tDEBUG\t> Open: \tParams: []");
  EXPECT_EQ(Host.Services.Errors().size(), 1u);
}

TEST_F(HostFaults, LogFileHeldLongerThanTheLogWaits) {
  Create();
  SwitchLog(true);
  ASSERT_TRUE(Run(u"GetInterfaceRevision"));
  {
    FaultTest::THeldFile Held(TodaysFile());
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_FALSE(C->CallAsFunc(u"GetInterfaceRevision").Ok);
    EXPECT_GE(std::chrono::steady_clock::now() - Start, Common::Log::kLogBusyRetryWindow);
    ASSERT_EQ(Host.Services.Errors().size(), 1u);
    EXPECT_EQ(Reports()[0], u"Cannot write the log file " + TodaysFile().u16string() +
                                u": it is held by another program");
    // A framed call fails in the frame's own log line too, and keeps the
    // failure for GetLastError even though its log line is lost.
    EXPECT_FALSE(C->CallAsFunc(u"Close", {TValue::Empty()}).Ok);
  }
  EXPECT_TRUE(Run(u"GetInterfaceRevision"));
  EXPECT_TRUE(Last.Ok);
  EXPECT_EQ(Last.Result, TValue::I4(3002));
  const auto Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_GE(Lines.size(), 2u);
  EXPECT_EQ(Lines[Lines.size() - 2], "2026.12.07 09:05:03.007\tDEBUG\t> GetInterfaceRevision: \tParams: []");
  EXPECT_EQ(Lines.back(), "2026.12.07 09:05:03.007\tDEBUG\t< GetInterfaceRevision: \tResult=3002; Params: []");
}

TEST_F(HostFaults, HelpTextTheLibraryDoesNotHold) {
  Create(kFaultProbeDriver);
  int Shown = 0;
  const auto Previous =
      TMarkdownRenderer::SetDocViewer([&](const std::u16string&, const std::u16string&) { ++Shown; });
  EXPECT_FALSE(Run(u"DoAdditionalAction", {TValue::Text16(u"ShowMissingHelp")}));
  EXPECT_TRUE(Last.Ok);
  EXPECT_EQ(LastError(), (std::pair<std::int64_t, std::u16string>{1001, u"File not found: " +
                                                                            std::u16string(kMissingHelp)}));
  // The library's own help is still there for the same object.
  EXPECT_TRUE(Run(u"DoAdditionalAction", {TValue::Text16(u"ShowHelp")}));
  TMarkdownRenderer::SetDocViewer(Previous);
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(LastError().first, 0);
  EXPECT_TRUE(Host.Services.Errors().empty());
}

TEST_F(HostFaults, SettingsTemplateThatDoesNotParse) {
  Create(kFaultProbeDriver);
  EXPECT_FALSE(Run(u"GetParameters", {TValue::Empty()}));
  EXPECT_TRUE(Last.Ok);
  EXPECT_EQ(Last.Params.at(0), TValue::Empty()) << "nothing is handed over";
  const auto [Code, Text] = LastError();
  EXPECT_EQ(Code, 1001);
  EXPECT_TRUE(StartsWith(Text, u"Cannot parse the XML document")) << ToUtf8(Text);
  // The object goes on: settings, the device and its documents.
  EXPECT_TRUE(Run(u"SetParameter", {TValue::Text16(u"EPC1"), TValue::Text16(u"E1")}));
  EXPECT_TRUE(Run(u"GetDescription", {TValue::Empty()}));
  EXPECT_TRUE(Run(u"Open", {TValue::Empty()}));
  EXPECT_TRUE(Run(u"Close", {TValue::Empty()}));
  EXPECT_EQ(LastError().first, 0);
  EXPECT_TRUE(Host.Services.Errors().empty());
}

}  // namespace
