#pragma once
// The picture of the log viewer's folder button: a yellow folder with a
// green arrow, 16 x 16, drawn here so that no image file is needed.
#include <cstdint>

#include "platform/ui/Bitmap.h"

platform::ui::TBitmap OpenFolderGlyph(std::uint32_t ABackground);
