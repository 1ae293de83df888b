#include "platform/ui/gtk/GtkBitmap.h"

#include <cstdint>

namespace platform::ui::gtk {

cairo_surface_t* CreatePictureSurface(const TBitmap& ABitmap, int AScale) {
  const int Scale = AScale > 0 ? AScale : 1;
  cairo_surface_t* Surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, ABitmap.Width() * Scale, ABitmap.Height() * Scale);
  cairo_surface_flush(Surface);
  unsigned char* Data = cairo_image_surface_get_data(Surface);
  const int Stride = cairo_image_surface_get_stride(Surface);
  if (Data) {
    for (int Y = 0; Y < ABitmap.Height() * Scale; ++Y) {
      auto* Row = reinterpret_cast<std::uint32_t*>(Data + static_cast<std::ptrdiff_t>(Y) * Stride);
      for (int X = 0; X < ABitmap.Width() * Scale; ++X) Row[X] = ABitmap.Pixel(X / Scale, Y / Scale) & 0xFFFFFFu;
    }
  }
  cairo_surface_mark_dirty(Surface);
  cairo_surface_set_device_scale(Surface, Scale, Scale);
  return Surface;
}

}  // namespace platform::ui::gtk
