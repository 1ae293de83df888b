#include "platform/ui/Controls.h"

#include <stdexcept>

#include "platform/ui/Form.h"

namespace platform::ui {

TControl::TControl(TForm& AForm, std::u16string AName) : FForm(AForm), FName(std::move(AName)) {}

TControl::~TControl() = default;

void TControl::Changed() { FForm.ControlChanged(*this); }

TPageControl::TPageControl(TForm& AForm, std::u16string AName, std::vector<std::u16string> ACaptions)
    : TControl(AForm, std::move(AName)), FCaptions(std::move(ACaptions)), FTabVisible(FCaptions.size(), true) {}

void TPageControl::SetTabVisible(int APage, bool AVisible) {
  auto&& Slot = FTabVisible.at(static_cast<std::size_t>(APage));
  if (Slot == AVisible) return;
  Slot = AVisible;
  Changed();
}

void TPageControl::SetActivePage(int APage) {
  if (APage < 0 || APage >= PageCount()) throw std::out_of_range("page index out of range");
  if (FActivePage == APage) return;
  FActivePage = APage;
  Changed();
}

TImage::TImage(TForm& AForm, std::u16string AName, TPageControl& AParent, int APage, TRect ABounds)
    : TControl(AForm, std::move(AName)), FParent(AParent), FPage(APage), FBounds(ABounds) {
  if (APage < 0 || APage >= AParent.PageCount()) throw std::out_of_range("page index out of range");
}

void TImage::SetPicture(const TBitmap& APicture) {
  FPicture.emplace(APicture);
  ++FPictureGeneration;
  Changed();
}

void TImage::SetVisible(bool AVisible) {
  if (FVisible == AVisible) return;
  FVisible = AVisible;
  Changed();
}

void TImage::SetHint(std::u16string AHint) {
  if (FHint == AHint) return;
  FHint = std::move(AHint);
  Changed();
}

void TImage::SetShowHint(bool AShowHint) {
  if (FShowHint == AShowHint) return;
  FShowHint = AShowHint;
  Changed();
}

void TImage::DblClick() {
  if (OnDblClick) OnDblClick(*this);
}

}  // namespace platform::ui
