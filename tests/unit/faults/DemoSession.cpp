#include "unit/faults/DemoSession.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "rfid/TagCommand.h"
#include "rfid/uDriver.h"
#include "unit/InProcessHost.h"
#include "v8host/Script.h"

namespace FaultTest {

std::vector<std::string> ExtendedSessionLines() {
  std::vector<std::string> Lines = DemoSessionLines();
  for (const char* Line : {"GetAdditionalActions()", "DeviceTest()", "DoAdditionalAction(\"NoSuchAction\")",
                           "GetLastError()", "EPC3 = 5", "EPC1", ":names", "GetDescription()"})
    Lines.push_back(Line);
  return Lines;
}

namespace {

// ":present N": the image of tag N double-clicked on its page.
void Present(v8host::TComponent& AComponent, const std::string& ANumber) {
  const int Number = std::atoi(ANumber.c_str());
  ASSERT_TRUE(Number >= 1 && Number <= kTagCount) << ANumber;
  TfmBarcodes& Window = *UserObjectOf<TDriver>(AComponent).Barcodes();
  Window.PageControl().SetActivePage((Number - 1) / 2);
  Window.Image(Number).DblClick();
}

TStepOutcome RunLine(v8host::TComponent& AComponent, const std::string& ALine) {
  TStepOutcome Step;
  Step.Line = ALine;
  Step.FirstRequest = AComponent.Host().Memory.Requests().size();
  const v8host::TCallLine Line = v8host::ParseCallLine(ALine);
  const TV8Long Prop = Line.Kind == v8host::TCallLine::ckName || Line.Kind == v8host::TCallLine::ckSet
                          ? AComponent.FindProp(Line.Name)
                          : -1;
  if (Line.Kind == v8host::TCallLine::ckDirective && Line.Name == u"present") {
    Present(AComponent, Line.Text);
  } else if (Line.Kind == v8host::TCallLine::ckDirective && Line.Name == u"tags") {
    // ":tags ARGS": the control tool's command, as the tag window receives it.
    TfmBarcodes& Window = *UserObjectOf<TDriver>(AComponent).Barcodes();
    EXPECT_NE(Window.RunCommand(std::string(kTagProtocol) + " " + Line.Text).find(" ok "), std::string::npos);
  } else if (Line.Kind == v8host::TCallLine::ckDirective && Line.Name == u"names") {
    const TV8Long Method = AComponent.MethodIndex(u"GetLastError");
    const TV8Long Property = AComponent.PropIndex(u"LogEnabled");
    Step.Names = {AComponent.MethodName(Method, 0), AComponent.MethodName(Method, 1), AComponent.PropName(Property, 0),
                  AComponent.PropName(Property, 1)};
  } else if (Line.Kind == v8host::TCallLine::ckSet) {
    Step.Called = true;
    Step.Result.Ok = AComponent.SetPropVal(AComponent.PropIndex(Line.Name), Line.Value);
  } else if (Prop >= 0) {
    Step.Called = true;
    Step.Result = AComponent.GetPropVal(Prop);
  } else if (Line.Kind == v8host::TCallLine::ckCall || Line.Kind == v8host::TCallLine::ckName) {
    const TV8Long Method = AComponent.MethodIndex(Line.Name);
    // Arguments left out are undefined values, as the session runner passes them.
    std::vector<v8host::TValue> Args = Line.Args;
    Args.resize(static_cast<std::size_t>(AComponent.ParamCount(Method)));
    Step.Called = true;
    Step.Result = AComponent.CallAsFunc(Method, Args);
  } else {
    ADD_FAILURE() << "not a call, a property or a known directive: " << ALine;
  }
  Step.Requests = AComponent.Host().Memory.Requests().size() - Step.FirstRequest;
  return Step;
}

}  // namespace

std::vector<TStepOutcome> RunSession(v8host::TComponent& AComponent, const std::vector<std::string>& ALines,
                                     const TStepObserver& AAfterStep) {
  std::vector<TStepOutcome> Steps;
  for (const std::string& Line : ALines) {
    Steps.push_back(RunLine(AComponent, Line));
    if (AAfterStep) AAfterStep(Steps.back());
  }
  return Steps;
}

}  // namespace FaultTest
