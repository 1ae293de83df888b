#pragma once
// Reads a tag picture back with an independent Data Matrix decoder
// (libdmtx, on Linux).
#include <optional>
#include <string>

#include "platform/ui/Bitmap.h"

namespace window_test {

// The text of the first Data Matrix symbol in ABitmap, or nothing.
std::optional<std::string> ReadDataMatrix(const platform::ui::TBitmap& ABitmap);

}  // namespace window_test
