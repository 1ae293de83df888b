// Reads the tag window's pictures back with libdmtx, an independent Data
// Matrix decoder.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "rfid/ufmBarcodes.h"
#include "unit/window/DataMatrixReader.h"

namespace {

using window_test::ReadDataMatrix;

TEST(BarcodeDecode, EveryTagPictureReadsBackAsItsText) {
  TfmBarcodes Window;
  for (int I = 0; I < 8; ++I) Window.SetBarcode(I, u"E28011002000589616B408A" + IntToText(I + 1));
  Window.Show();
  for (int N = 1; N <= 8; ++N) {
    const auto* Picture = Window.Image(N).Picture();
    ASSERT_NE(Picture, nullptr);
    EXPECT_EQ(ReadDataMatrix(*Picture), ToUtf8(Window.GetBarcode(N - 1))) << "Image" << N;
  }
}

TEST(BarcodeDecode, OtherTextsReadBackToo) {
  for (const char16_t* Text : {u"A", u"hello, world", u"30751BD15C35BC0508B59F22AA53EE150D0145FF20AA"}) {
    const auto Bitmap = TfmBarcodes::MakeBarcodeBitmap(80, 80, Text);
    EXPECT_EQ(ReadDataMatrix(*Bitmap), ToUtf8(Text));
  }
}

}  // namespace
