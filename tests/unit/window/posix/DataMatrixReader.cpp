#include "unit/window/DataMatrixReader.h"

#include <dmtx.h>

#include <memory>
#include <vector>

namespace window_test {

// The picture is padded with a white quiet zone: it has none, decoders
// want one.
std::optional<std::string> ReadDataMatrix(const platform::ui::TBitmap& ABitmap) {
  constexpr int Pad = 10;
  const int W = ABitmap.Width() + 2 * Pad;
  const int H = ABitmap.Height() + 2 * Pad;
  std::vector<unsigned char> Rgb(static_cast<std::size_t>(W * H * 3), 0xFF);
  for (int Y = 0; Y < ABitmap.Height(); ++Y)
    for (int X = 0; X < ABitmap.Width(); ++X) {
      const auto P = ABitmap.Pixel(X, Y);
      auto* Dst = &Rgb[static_cast<std::size_t>(((Y + Pad) * W + X + Pad) * 3)];
      Dst[0] = static_cast<unsigned char>(P >> 16);
      Dst[1] = static_cast<unsigned char>(P >> 8);
      Dst[2] = static_cast<unsigned char>(P);
    }
  std::unique_ptr<DmtxImage, void (*)(DmtxImage*)> Image(dmtxImageCreate(Rgb.data(), W, H, DmtxPack24bppRGB),
                                                         [](DmtxImage* P) { dmtxImageDestroy(&P); });
  std::unique_ptr<DmtxDecode, void (*)(DmtxDecode*)> Decoder(dmtxDecodeCreate(Image.get(), 1),
                                                             [](DmtxDecode* P) { dmtxDecodeDestroy(&P); });
  DmtxTime Timeout = dmtxTimeAdd(dmtxTimeNow(), 5000);
  std::unique_ptr<DmtxRegion, void (*)(DmtxRegion*)> Region(dmtxRegionFindNext(Decoder.get(), &Timeout),
                                                            [](DmtxRegion* P) { dmtxRegionDestroy(&P); });
  if (!Region) return std::nullopt;
  std::unique_ptr<DmtxMessage, void (*)(DmtxMessage*)> Message(
      dmtxDecodeMatrixRegion(Decoder.get(), Region.get(), DmtxUndefined),
      [](DmtxMessage* P) { dmtxMessageDestroy(&P); });
  if (!Message) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(Message->output), Message->outputIdx);
}

}  // namespace window_test
