// The help window, a form of the window layer: its design, and one control
// that fills it, the browser wbBrowser.
#include "lib/MarkdownRenderer/ufmDocView.h"

#include "platform/ui/Form.h"

using namespace platform::ui;

namespace {

// Sizes are those of the design, at 120 pixels per inch.
TFormDesign Design(const std::u16string& ACaption) {
  TFormDesign D;
  D.Caption = ACaption;
  D.BorderStyle = TBorderStyle::bsSizeable;
  D.Position = TPosition::poScreenCenter;
  D.ClientWidth = 633;
  D.ClientHeight = 425;
  D.PixelsPerInch = 120;
  D.FontName = u"Tahoma";
  D.FontHeight = -13;
  D.Icon = u"DOCVIEW";
  return D;
}

// Shown where the page had to go to the default browser: the window stays
// open, because the page's temporary folder lives as long as it.
constexpr char16_t BrowserNotice[] =
    u"Справка открыта в браузере.\nЗакройте это окно, когда она больше не нужна: вместе с ним удаляются временные "
    u"файлы справки.";

}  // namespace

struct TfrmDocView::TImpl {
  explicit TImpl(const std::u16string& ACaption) : Form(Design(ACaption)) {}
  TForm Form;
  TWebBrowser* wbBrowser = nullptr;
};

TfrmDocView::TfrmDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption)
    : FHtmlFilePath(AHtmlFilePath), FCaption(ACaption), FImpl(std::make_unique<TImpl>(ACaption)) {
  FImpl->wbBrowser = &FImpl->Form.AddControl<TWebBrowser>(u"wbBrowser", TAlign::alClient);
  FImpl->wbBrowser->SetExternalNotice(BrowserNotice);
  FImpl->wbBrowser->Navigate(AHtmlFilePath);
}

TfrmDocView::~TfrmDocView() = default;

void TfrmDocView::ShowModal() { FImpl->Form.ShowModal(); }

TForm& TfrmDocView::Form() const noexcept { return FImpl->Form; }
