// The built-in additional actions open their modal windows and return once
// those are closed (the headless window layer closes them at once).
#include <gtest/gtest.h>

#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "platform/ui/Form.h"
#include "platform/ui/posix/Headless.h"
#include "unit/InProcessHost.h"
#include "unit/driver/ProbeDriver.h"
#include "unit/log/LogSandbox.h"

using v8host::TValue;

TEST(BuiltInActions, ViewLogAndShowHelpRunTheirWindows) {
  LogTest::TDataFolderOverride DataFolder;
  v8host::THost Host;
  v8host::TComponent C(InProcessAddin(), Host, kProbeDriver);
  std::vector<std::u16string> Shown;
  const auto PreviousModal =
      platform::ui::headless::SetModalHandler([&](platform::ui::TForm& AForm) { Shown.push_back(AForm.Design().Caption); });
  std::u16string HelpCaption;
  const auto PreviousViewer = TMarkdownRenderer::SetDocViewer(
      [&](const std::u16string&, const std::u16string& ACaption) { HelpCaption = ACaption; });
  const auto ViewLog = C.CallAsFunc(u"DoAdditionalAction", {TValue::Text16(u"ViewLog")});
  const auto ShowHelp = C.CallAsFunc(u"DoAdditionalAction", {TValue::Text16(u"ShowHelp")});
  platform::ui::headless::SetModalHandler(PreviousModal);
  TMarkdownRenderer::SetDocViewer(PreviousViewer);
  EXPECT_TRUE(ViewLog.Result.Bool);
  EXPECT_EQ(Shown, std::vector<std::u16string>{u"Просмотр лога"});
  EXPECT_TRUE(ShowHelp.Result.Bool);
  EXPECT_EQ(HelpCaption, u"Справка");
}
