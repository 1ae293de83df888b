#pragma once
// Pictures of the window layer as cairo surfaces for GTK widgets.
#include <gtk/gtk.h>

#include "platform/ui/Bitmap.h"

namespace platform::ui::gtk {

// A surface that GTK draws at the bitmap's size in logical pixels, made of
// AScale × AScale device pixels for each of the bitmap's pixels (no
// smoothing, so that a barcode's modules stay sharp at any scale). The
// caller owns the surface.
cairo_surface_t* CreatePictureSurface(const TBitmap& ABitmap, int AScale);

}  // namespace platform::ui::gtk
