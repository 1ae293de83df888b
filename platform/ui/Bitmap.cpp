#include "platform/ui/Bitmap.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace platform::ui {

namespace {

std::atomic<std::size_t> GLiveBitmaps{0};

int CheckedSide(int ASide) {
  if (ASide < 0) throw std::invalid_argument("negative bitmap size");
  return ASide;
}

}  // namespace

TBitmap::TBitmap(int AWidth, int AHeight, std::uint32_t AFill)
    : FWidth(CheckedSide(AWidth)),
      FHeight(CheckedSide(AHeight)),
      FPixels(static_cast<std::size_t>(AWidth) * static_cast<std::size_t>(AHeight), AFill) {
  ++GLiveBitmaps;
}

TBitmap::TBitmap(const TBitmap& AOther) : FWidth(AOther.FWidth), FHeight(AOther.FHeight), FPixels(AOther.FPixels) {
  ++GLiveBitmaps;
}

TBitmap::TBitmap(TBitmap&& AOther) noexcept
    : FWidth(AOther.FWidth), FHeight(AOther.FHeight), FPixels(std::move(AOther.FPixels)) {
  AOther.FWidth = 0;
  AOther.FHeight = 0;
  ++GLiveBitmaps;
}

TBitmap& TBitmap::operator=(const TBitmap& AOther) {
  if (this != &AOther) {
    FPixels = AOther.FPixels;
    FWidth = AOther.FWidth;
    FHeight = AOther.FHeight;
  }
  return *this;
}

TBitmap& TBitmap::operator=(TBitmap&& AOther) noexcept {
  FPixels = std::move(AOther.FPixels);
  FWidth = AOther.FWidth;
  FHeight = AOther.FHeight;
  AOther.FWidth = 0;
  AOther.FHeight = 0;
  return *this;
}

TBitmap::~TBitmap() { --GLiveBitmaps; }

void TBitmap::FillRect(int ALeft, int ATop, int ARight, int ABottom, std::uint32_t AColor) noexcept {
  ALeft = std::clamp(ALeft, 0, FWidth);
  ARight = std::clamp(ARight, 0, FWidth);
  ATop = std::clamp(ATop, 0, FHeight);
  ABottom = std::clamp(ABottom, 0, FHeight);
  if (ALeft >= ARight) return;
  for (int Y = ATop; Y < ABottom; ++Y)
    std::fill(FPixels.begin() + static_cast<std::ptrdiff_t>(Index(ALeft, Y)),
              FPixels.begin() + static_cast<std::ptrdiff_t>(Index(ARight, Y)), AColor);
}

std::size_t TBitmap::LiveCount() noexcept { return GLiveBitmaps.load(); }

}  // namespace platform::ui
