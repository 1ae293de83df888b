#include "lib/MarkdownRenderer/ShowHelp.h"

#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "platform/Resources.h"

namespace {
constexpr unsigned HelpCaptionId = 65088;  // "Справка"
}

void ShowHelp() { TMarkdownRenderer::Render(u"help", platform::LoadStringResource(HelpCaptionId)); }
