#pragma once
// The emulated reader with two faults of its library built in: its settings
// template is a resource that is not XML (the help archive), and one more
// additional action shows help from a resource the library does not hold.
#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "rfid/uDriver.h"

inline constexpr char16_t kFaultProbeDriver[] = u"QuorvelFaultProbe";
inline constexpr char16_t kMissingHelp[] = u"nosuchhelp";

class TFaultProbeDriver : public TDriver {
  QV_DECLARATIONS(TFaultProbeDriver, TDriver)

public:
  QV_ADDITIONAL_ACTION(ShowMissingHelp, u"Справка без текста")
  void ShowMissingHelp() { TMarkdownRenderer::Render(kMissingHelp, u"Справка"); }

  QV_END_DECLARATIONS()

protected:
  std::u16string ParametersResourceName() const override { return u"help"; }
};
