#include "platform/ui/Controls.h"

#include <algorithm>
#include <stdexcept>

#include "common/Text.h"

#include "platform/ui/Form.h"
#include "platform/ui/Native.h"

namespace platform::ui {

TControl::TControl(TForm& AForm, std::u16string AName, TRect ABounds, TAlign AAlign)
    : FForm(AForm), FName(std::move(AName)), FBounds(ABounds), FAlign(AAlign) {}

TControl::~TControl() = default;

void TControl::Changed() { FForm.ControlChanged(*this); }

TPageControl::TPageControl(TForm& AForm, std::u16string AName, std::vector<std::u16string> ACaptions)
    : TControl(AForm, std::move(AName), {}, TAlign::alClient),
      FCaptions(std::move(ACaptions)),
      FTabVisible(FCaptions.size(), true) {}

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

void TPageControl::SelectNextPage(bool AForward) {
  const int Count = PageCount();
  for (int Step = 1; Step < Count; ++Step) {
    const int Page = ((FActivePage + (AForward ? Step : -Step)) % Count + Count) % Count;
    if (TabVisible(Page)) {
      SetActivePage(Page);
      return;
    }
  }
}

TImage::TImage(TForm& AForm, std::u16string AName, TPageControl& AParent, int APage, TRect ABounds)
    : TControl(AForm, std::move(AName), ABounds), FParent(AParent), FPage(APage) {
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

TPanel::TPanel(TForm& AForm, std::u16string AName, TRect ABounds, TAlign AAlign)
    : TControl(AForm, std::move(AName), ABounds, AAlign) {}

TComboBox::TComboBox(TForm& AForm, std::u16string AName, TRect ABounds, bool ASorted)
    : TControl(AForm, std::move(AName), ABounds), FSorted(ASorted) {}

namespace {

bool LessIgnoringCase(std::u16string_view A, std::u16string_view B) noexcept {
  const auto Size = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < Size; ++I) {
    const char16_t X = FoldCase(A[I]);
    const char16_t Y = FoldCase(B[I]);
    if (X != Y) return X < Y;
  }
  return A.size() < B.size();
}

}  // namespace

int TComboBox::Add(std::u16string AItem) {
  auto Where = FItems.end();
  if (FSorted) Where = std::upper_bound(FItems.begin(), FItems.end(), AItem, LessIgnoringCase);
  const auto Index = static_cast<int>(Where - FItems.begin());
  FItems.insert(Where, std::move(AItem));
  if (FItemIndex >= Index) ++FItemIndex;
  Changed();
  return Index;
}

void TComboBox::Clear() {
  FItems.clear();
  FItemIndex = -1;
  Changed();
}

void TComboBox::SetItems(std::vector<std::u16string> AItems) {
  if (FSorted) std::stable_sort(AItems.begin(), AItems.end(), LessIgnoringCase);
  FItems = std::move(AItems);
  FItemIndex = -1;
  Changed();
}

void TComboBox::SetItemIndex(int AIndex) {
  if (AIndex < -1 || AIndex >= static_cast<int>(FItems.size())) AIndex = -1;
  if (FItemIndex == AIndex) return;
  FItemIndex = AIndex;
  Changed();
}

std::u16string TComboBox::Text() const {
  return FItemIndex < 0 ? std::u16string() : FItems[static_cast<std::size_t>(FItemIndex)];
}

void TComboBox::Select(int AIndex) {
  SetItemIndex(AIndex);
  if (OnChange) OnChange();
}

void TComboBox::DropDown() {
  if (OnDropDown) OnDropDown();
}

TMemo::TMemo(TForm& AForm, std::u16string AName, TRect ABounds, TAlign AAlign)
    : TControl(AForm, std::move(AName), ABounds, AAlign) {}

void TMemo::SetText(std::u16string AText) {
  FText = std::move(AText);
  FSelStart = 0;
  Changed();
}

void TMemo::ReplaceText(std::size_t AStart, std::size_t ACount, std::u16string_view AText) {
  AStart = std::min(AStart, FText.size());
  ACount = std::min(ACount, FText.size() - AStart);
  const std::u16string Old = FText.substr(AStart, ACount);
  FText.replace(AStart, ACount, AText);
  Form().Native().MemoReplace(*this, AStart, Old, AText);
}

int TMemo::NativeLength(std::u16string_view AText) const { return Form().Native().MemoTextLength(AText); }

int TMemo::SelStart() const {
  if (const auto Native = Form().Native().MemoSelStart(*this)) return *Native;
  return FSelStart;
}

void TMemo::SetSelStart(int AOffset) {
  // The window system clamps the offset to its own text (whose line breaks
  // may be longer than these).
  FSelStart = std::max(AOffset, 0);
  Form().Native().MemoRequest(*this, TMemoRequest::mrSetSelStart, FSelStart);
}

void TMemo::ScrollCaret() {
  ++FScrollCaretCount;
  Form().Native().MemoRequest(*this, TMemoRequest::mrScrollCaret);
}

void TMemo::SetFocus() {
  ++FFocusCount;
  Form().Native().MemoRequest(*this, TMemoRequest::mrSetFocus);
}

void TMemo::BeginUpdate() {
  if (FUpdateCount++ == 0) Form().Native().MemoRequest(*this, TMemoRequest::mrBeginUpdate);
}

void TMemo::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) Form().Native().MemoRequest(*this, TMemoRequest::mrEndUpdate);
}

TButton::TButton(TForm& AForm, std::u16string AName, TRect ABounds) : TControl(AForm, std::move(AName), ABounds) {}

void TButton::SetGlyph(const TBitmap& AGlyph) {
  FGlyph.emplace(AGlyph);
  Changed();
}

void TButton::Click() {
  if (OnClick) OnClick();
}

TTimer::TTimer(TForm& AForm, std::u16string AName, int AIntervalMs)
    : TControl(AForm, std::move(AName)), FInterval(AIntervalMs) {}

void TTimer::SetEnabled(bool AEnabled) {
  if (FEnabled == AEnabled) return;
  FEnabled = AEnabled;
  Changed();
}

void TTimer::Timer() {
  if (OnTimer) OnTimer();
}

TWebBrowser::TWebBrowser(TForm& AForm, std::u16string AName, TAlign AAlign)
    : TControl(AForm, std::move(AName), {}, AAlign) {}

void TWebBrowser::Navigate(std::u16string AUrl) {
  FLocationURL = std::move(AUrl);
  Changed();
}

}  // namespace platform::ui

namespace platform::ui {

void INativeForm::MemoReplace(TMemo& AMemo, std::size_t, std::u16string_view, std::u16string_view) {
  ControlChanged(AMemo);
}

}  // namespace platform::ui
