#include "rfid/BarcodeBitmap.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/Exception.h"
#include "common/Text.h"
#include "rfid/BarcodeSymbol.h"

namespace {

using platform::ui::TBitmap;

// libzint's colour code of a white rectangle; every other rectangle of a
// Data Matrix is foreground.
constexpr int ZintWhite = 8;

void RaiseOnError(int ACode, const TZintSymbol& ASymbol) {
  if (ACode >= ZINT_ERROR) throw Exception(std::string_view(ASymbol->errtxt));
}

void Encode(const TZintSymbol& ASymbol, std::u16string_view AText) {
  ASymbol->symbology = BARCODE_DATAMATRIX;
  ASymbol->option_2 = 0;          // size chosen automatically...
  ASymbol->option_3 = DM_SQUARE;  // ...among square symbols only
  ASymbol->input_mode = UNICODE_MODE;
  ASymbol->whitespace_width = 0;
  ASymbol->whitespace_height = 0;
  ASymbol->border_width = 0;
  ASymbol->output_options = 0;
  ASymbol->primary[0] = '\0';
  const std::string Data = ToUtf8(AText);
  RaiseOnError(ZBarcode_Encode(ASymbol.Get(), reinterpret_cast<const unsigned char*>(Data.data()),
                               static_cast<int>(Data.size())),
               ASymbol);
}

// First pixel whose centre lies at or beyond APosition (in pixels).
int PixelEdge(double APosition) { return static_cast<int>(std::ceil(APosition - 0.5)); }

// Paints the symbol's vector rectangles scaled by one factor for both axes,
// so that modules stay square; a pixel is black when its centre lies in a
// dark module.
void Paint(const zint_vector& AVector, TBitmap& ABitmap) {
  if (AVector.width <= 0 || AVector.height <= 0) return;
  const double Scale =
      std::min(ABitmap.Width() / static_cast<double>(AVector.width), ABitmap.Height() / static_cast<double>(AVector.height));
  for (const zint_vector_rect* R = AVector.rectangles; R; R = R->next) {
    if (R->colour == ZintWhite) continue;
    ABitmap.FillRect(PixelEdge(R->x * Scale), PixelEdge(R->y * Scale), PixelEdge((R->x + R->width) * Scale),
                     PixelEdge((R->y + R->height) * Scale), platform::ui::clBlack);
  }
}

}  // namespace

std::unique_ptr<TBitmap> MakeDataMatrixBitmap(int AWidth, int AHeight, std::u16string_view AText) {
  TZintSymbol Symbol;
  Encode(Symbol, AText);
  RaiseOnError(ZBarcode_Buffer_Vector(Symbol.Get(), 0), Symbol);
  auto Result = std::make_unique<TBitmap>(AWidth, AHeight, platform::ui::clWhite);
  if (Symbol->vector) Paint(*Symbol->vector, *Result);
  return Result;
}
