#pragma once
// Data Matrix pictures of texts, made with libzint.
#include <memory>
#include <string_view>

#include "platform/ui/Bitmap.h"

// A square Data Matrix (ECC 200) symbol of AText (encoded as UTF-8, symbol
// size chosen by libzint) scaled to fill AWidth x AHeight from the top left
// corner, black on white, without quiet zone or border. Raises Exception
// with libzint's error text when the text cannot be encoded.
std::unique_ptr<platform::ui::TBitmap> MakeDataMatrixBitmap(int AWidth, int AHeight, std::u16string_view AText);
