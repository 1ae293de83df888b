// The headless window layer: forms and controls keep their state in the
// shared classes, so the native side has nothing to mirror. What would
// reach the user (message boxes, the file manager) is recorded instead.
#include <atomic>
#include <mutex>
#include <utility>

#include "common/Exception.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/posix/Headless.h"

namespace platform::ui {

namespace {

std::atomic<int> GScreenWidth{headless::DefaultScreenWidth};

struct TRecords {
  std::mutex Lock;
  headless::TModalHandler ModalHandler;
  std::vector<std::u16string> Errors;
  std::vector<std::u16string> Explored;
};

TRecords& Records() {
  static TRecords Instance;
  return Instance;
}

class THeadlessForm final : public INativeForm {
public:
  explicit THeadlessForm(TForm& AForm) : FForm(AForm) {}

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
  void MemoRequest(TMemo&, TMemoRequest, int) override {}
  std::optional<int> MemoSelStart(const TMemo&) const override { return std::nullopt; }
  void RunModal() override {
    headless::TModalHandler Handler;
    {
      auto& R = Records();
      std::lock_guard Guard(R.Lock);
      Handler = R.ModalHandler;
    }
    if (Handler) Handler(FForm);
  }
  void* Handle() const noexcept override { return nullptr; }
  void* ControlHandle(const TControl&) const noexcept override { return nullptr; }

private:
  TForm& FForm;
};

}  // namespace

std::unique_ptr<INativeForm> CreateNativeForm(TForm& AForm) { return std::make_unique<THeadlessForm>(AForm); }

int PrimaryScreenWidth() { return GScreenWidth.load(); }

void HandleException(const TForm*, std::exception_ptr AError) noexcept {
  try {
    auto Message = ExceptionMessage(AError);
    auto& R = Records();
    std::lock_guard Guard(R.Lock);
    R.Errors.push_back(std::move(Message));
  } catch (...) {
    // Nothing more can be recorded without memory.
  }
}

void ShellExplore(const TForm*, const std::u16string& AFolder) {
  auto& R = Records();
  std::lock_guard Guard(R.Lock);
  R.Explored.push_back(AFolder);
}

namespace headless {

void SetPrimaryScreenWidth(int AWidth) noexcept { GScreenWidth = AWidth; }

TModalHandler SetModalHandler(TModalHandler AHandler) {
  auto& R = Records();
  std::lock_guard Guard(R.Lock);
  std::swap(R.ModalHandler, AHandler);
  return AHandler;
}

std::vector<std::u16string> TakeErrorMessages() {
  auto& R = Records();
  std::lock_guard Guard(R.Lock);
  return std::exchange(R.Errors, {});
}

std::vector<std::u16string> TakeExploredFolders() {
  auto& R = Records();
  std::lock_guard Guard(R.Lock);
  return std::exchange(R.Explored, {});
}

}  // namespace headless

}  // namespace platform::ui
