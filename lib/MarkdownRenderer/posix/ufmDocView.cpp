// Targets without the Windows shell's browser control: the window is a
// headless stand-in that keeps the page and the caption and, when shown,
// returns at once as if the user had closed it.
#include "lib/MarkdownRenderer/ufmDocView.h"

struct TfrmDocView::TImpl {};

TfrmDocView::TfrmDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption)
    : FHtmlFilePath(AHtmlFilePath), FCaption(ACaption) {}

TfrmDocView::~TfrmDocView() = default;

void TfrmDocView::ShowModal() {}
