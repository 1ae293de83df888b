#pragma once
// A plain 32-bit RGB picture that every window implementation can show:
// pixels are 0x00RRGGBB, stored row by row from the top.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::ui {

inline constexpr std::uint32_t clBlack = 0x000000;
inline constexpr std::uint32_t clWhite = 0xFFFFFF;

class TBitmap {
public:
  TBitmap(int AWidth, int AHeight, std::uint32_t AFill = clWhite);
  TBitmap(const TBitmap& AOther);
  TBitmap(TBitmap&& AOther) noexcept;
  TBitmap& operator=(const TBitmap& AOther);
  TBitmap& operator=(TBitmap&& AOther) noexcept;
  ~TBitmap();

  int Width() const noexcept { return FWidth; }
  int Height() const noexcept { return FHeight; }
  std::uint32_t Pixel(int X, int Y) const noexcept { return FPixels[Index(X, Y)]; }
  void SetPixel(int X, int Y, std::uint32_t AColor) noexcept { FPixels[Index(X, Y)] = AColor; }
  void FillRect(int ALeft, int ATop, int ARight, int ABottom, std::uint32_t AColor) noexcept;
  const std::uint32_t* Data() const noexcept { return FPixels.data(); }

  // Number of bitmaps alive in the process: lets leak checks count pictures
  // instead of guessing from the heap.
  static std::size_t LiveCount() noexcept;

private:
  std::size_t Index(int X, int Y) const noexcept {
    return static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X);
  }

  int FWidth;
  int FHeight;
  std::vector<std::uint32_t> FPixels;
};

}  // namespace platform::ui
