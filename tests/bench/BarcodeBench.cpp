// Showing the tag window rebuilds its eight Data Matrix images (headless
// window layer on Linux: the cost is the encoding and the drawing).
#include <benchmark/benchmark.h>

#include "rfid/uDriver.h"

namespace {

void FormShowEightImages(benchmark::State& AState) {
  TfmBarcodes Window;
  for (int Index = 0; Index < TfmBarcodes::BarcodeCount; ++Index)
    Window.SetBarcode(Index, std::u16string(TagTIDs[static_cast<std::size_t>(Index)]));
  for (auto _ : AState) {
    Window.Show();
    Window.Hide();
  }
  if (Window.BitmapCount() != TfmBarcodes::BarcodeCount) AState.SkipWithError("images missing");
}
BENCHMARK(FormShowEightImages)->Unit(benchmark::kMillisecond);

}  // namespace
