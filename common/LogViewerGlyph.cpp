#include "common/LogViewerGlyph.h"

namespace {

constexpr std::uint32_t FolderEdge = 0xB8860B;
constexpr std::uint32_t FolderBack = 0xE6B422;
constexpr std::uint32_t FolderFront = 0xFFD84D;
constexpr std::uint32_t ArrowEdge = 0x1B6E24;
constexpr std::uint32_t ArrowFill = 0x34B045;

void Outline(platform::ui::TBitmap& B, int L, int T, int R, int Bottom, std::uint32_t Edge, std::uint32_t Fill) {
  B.FillRect(L, T, R, Bottom, Edge);
  B.FillRect(L + 1, T + 1, R - 1, Bottom - 1, Fill);
}

}  // namespace

platform::ui::TBitmap OpenFolderGlyph(std::uint32_t ABackground) {
  platform::ui::TBitmap B(16, 16, ABackground);
  // The folder: a tab on the back sheet, the back sheet, the front flap.
  Outline(B, 1, 3, 7, 6, FolderEdge, FolderBack);
  Outline(B, 1, 5, 14, 14, FolderEdge, FolderBack);
  Outline(B, 1, 7, 14, 14, FolderEdge, FolderFront);
  // The arrow, pointing right out of the folder: a shaft and a head.
  Outline(B, 7, 8, 12, 12, ArrowEdge, ArrowFill);
  for (int I = 0; I < 4; ++I) {
    B.FillRect(11 + I, 6 + I, 12 + I, 14 - I, ArrowEdge);
    if (I < 3) B.FillRect(11 + I, 7 + I, 12 + I, 13 - I, ArrowFill);
  }
  return B;
}
