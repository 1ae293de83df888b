#include "platform/ui/Form.h"

#include <algorithm>
#include <mutex>
#include <stdexcept>

#include "platform/ui/Native.h"

namespace platform::ui {

namespace {

// The process's list of live forms, as the window system keeps its list of
// windows: it lets a caller (tests among them) find a window it does not own.
struct TFormRegistry {
  std::mutex Lock;
  std::vector<TForm*> Forms;
};

TFormRegistry& Registry() {
  static TFormRegistry Instance;
  return Instance;
}

}  // namespace

TForm::TForm(TFormDesign ADesign)
    : FDesign(std::move(ADesign)),
      FLeft(FDesign.Left),
      FTop(FDesign.Top),
      FAlphaBlend(FDesign.AlphaBlend),
      FAlphaBlendValue(FDesign.AlphaBlendValue) {
  FNative = CreateNativeForm(*this);
  auto& R = Registry();
  std::lock_guard Guard(R.Lock);
  R.Forms.push_back(this);
}

TForm::~TForm() {
  {
    auto& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase(R.Forms, this);
  }
  // The native window goes first: it may still refer to the controls.
  FNative.reset();
  FComponents.clear();
}

TPageControl& TForm::AddPageControl(std::u16string AName, std::vector<std::u16string> ACaptions) {
  return AddControl<TPageControl>(std::move(AName), std::move(ACaptions));
}

TImage& TForm::AddImage(std::u16string AName, TPageControl& AParent, int APage, TRect ABounds) {
  return AddControl<TImage>(std::move(AName), AParent, APage, ABounds);
}

void TForm::Adopt(std::unique_ptr<TControl> AControl) {
  auto& Control = *AControl;
  FComponents.push_back(std::move(AControl));
  FNative->ControlAdded(Control);
}

TControl* TForm::FindComponent(std::u16string_view AName) const noexcept {
  for (const auto& Control : FComponents)
    if (Control->Name() == AName) return Control.get();
  return nullptr;
}

void TForm::Show() {
  if (FVisible) return;
  if (OnShow) OnShow();
  // A window system that cannot show the window (no display) leaves the
  // form hidden, so that the next Show tries again.
  FNative->SetVisible(true);
  FVisible = true;
}

void TForm::Hide() {
  if (!FVisible) return;
  FVisible = false;
  FNative->SetVisible(false);
}

void TForm::KeyPress(char16_t AKey) {
  if (OnKeyPress) OnKeyPress(AKey);
}

void TForm::PageKey(bool AForward) {
  for (const auto& Control : FComponents)
    if (auto* Pages = dynamic_cast<TPageControl*>(Control.get())) {
      Pages->SelectNextPage(AForward);
      return;
    }
}

void TForm::CloseRequested() {
  if (FModal)
    FModalEnded = true;
  else
    Hide();
}

void TForm::ShowModal() {
  if (FModal) throw std::logic_error("the form is already shown modally");
  Hide();
  FModal = true;
  FModalEnded = false;
  struct TModalEnd {
    TForm& Form;
    ~TModalEnd() {
      Form.FModal = false;
      Form.Hide();
    }
  } End{*this};
  Show();
  FNative->RunModal();
}

void TForm::SetPosition(int ALeft, int ATop) {
  FLeft = ALeft;
  FTop = ATop;
  FNative->SetPosition(ALeft, ATop);
}

int TForm::Width() const { return FNative->OuterSize().Width; }

int TForm::Height() const { return FNative->OuterSize().Height; }

void TForm::SetAlphaBlend(bool AAlphaBlend) {
  FAlphaBlend = AAlphaBlend;
  FNative->SetAlpha(FAlphaBlend, FAlphaBlendValue);
}

void TForm::SetAlphaBlendValue(std::uint8_t AValue) {
  FAlphaBlendValue = AValue;
  FNative->SetAlpha(FAlphaBlend, FAlphaBlendValue);
}

void TForm::MakeTopmost() {
  FTopmost = true;
  FNative->MakeTopmost();
}

void TForm::ControlChanged(TControl& AControl) {
  if (FNative) FNative->ControlChanged(AControl);
}

std::vector<TForm*> TForm::LiveForms() {
  auto& R = Registry();
  std::lock_guard Guard(R.Lock);
  return R.Forms;
}

}  // namespace platform::ui
