// The headless window layer: forms and controls keep their state in the
// shared classes, so the native side has nothing to mirror.
#include <atomic>

#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/posix/Headless.h"

namespace platform::ui {

namespace {

std::atomic<int> GScreenWidth{headless::DefaultScreenWidth};

class THeadlessForm final : public INativeForm {
public:
  explicit THeadlessForm(const TForm& AForm) : FForm(AForm) {}

  void SetVisible(bool) override {}
  void SetPosition(int, int) override {}
  TSize OuterSize() const override {
    const auto& D = FForm.Design();
    return {D.ClientWidth + 2 * headless::FrameWidth,
            D.ClientHeight + 2 * headless::FrameWidth + headless::SmallCaptionHeight};
  }
  void SetAlpha(bool, std::uint8_t) override {}
  void MakeTopmost() override {}
  void ControlAdded(TControl&) override {}
  void ControlChanged(TControl&) override {}
  void* Handle() const noexcept override { return nullptr; }
  void* ControlHandle(const TControl&) const noexcept override { return nullptr; }

private:
  const TForm& FForm;
};

}  // namespace

std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm) { return std::make_unique<THeadlessForm>(AForm); }

int PrimaryScreenWidth() { return GScreenWidth.load(); }

void ProcessMessages() {}

namespace headless {

void SetPrimaryScreenWidth(int AWidth) noexcept { GScreenWidth = AWidth; }

}  // namespace headless

}  // namespace platform::ui
