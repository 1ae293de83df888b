#pragma once
// The help window: a modal window whose only control, wbBrowser, is an
// embedded web browser that fills the client area and shows a local page.
#include <memory>
#include <string>

namespace platform::ui {
class TForm;
}

class TfrmDocView {
public:
  // Creates the window (no owner) with the caption ACaption and tells the
  // browser to open the local file AHtmlFilePath.
  TfrmDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption);
  ~TfrmDocView();

  TfrmDocView(const TfrmDocView&) = delete;
  TfrmDocView& operator=(const TfrmDocView&) = delete;

  // Shows the window and returns when the user has closed it.
  void ShowModal();

  const std::u16string& HtmlFilePath() const noexcept { return FHtmlFilePath; }
  const std::u16string& Caption() const noexcept { return FCaption; }
  // The window, for whoever needs to look at it (tests).
  platform::ui::TForm& Form() const noexcept;

private:
  struct TImpl;
  std::u16string FHtmlFilePath;
  std::u16string FCaption;
  std::unique_ptr<TImpl> FImpl;
};
