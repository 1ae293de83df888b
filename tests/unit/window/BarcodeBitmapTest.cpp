// The pictures of the tag window: square Data Matrix symbols, black on white,
// filling the image from its top left corner.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "common/Text.h"
#include "rfid/BarcodeBitmap.h"
#include "rfid/ufmBarcodes.h"

namespace {

using platform::ui::clBlack;
using platform::ui::clWhite;
using platform::ui::TBitmap;

struct TExtent {
  int Right = -1;   // last column with a black pixel
  int Bottom = -1;  // last row with a black pixel
};

TExtent DarkExtent(const TBitmap& ABitmap) {
  TExtent E;
  for (int Y = 0; Y < ABitmap.Height(); ++Y)
    for (int X = 0; X < ABitmap.Width(); ++X)
      if (ABitmap.Pixel(X, Y) == clBlack) {
        E.Right = std::max(E.Right, X);
        E.Bottom = std::max(E.Bottom, Y);
      }
  return E;
}

TEST(BarcodeBitmap, IsASquareSymbolBlackOnWhiteFillingTheAreaFromTheTopLeft) {
  for (const char16_t* Text : {u"E28011002000589616B408A1", u"A", u"Эмулятор RFID", u"0123456789ABCDEF0123456789"}) {
    SCOPED_TRACE(ToUtf8(Text));
    const auto Bitmap = TfmBarcodes::MakeBarcodeBitmap(80, 80, Text);
    ASSERT_EQ(Bitmap->Width(), 80);
    ASSERT_EQ(Bitmap->Height(), 80);
    for (int Y = 0; Y < 80; ++Y)
      for (int X = 0; X < 80; ++X) {
        const auto P = Bitmap->Pixel(X, Y);
        ASSERT_TRUE(P == clBlack || P == clWhite) << X << "," << Y;
      }
    // The finder pattern: a solid left column and bottom row, and a clock
    // track along the top starting dark in the very corner.
    for (int I = 0; I < 79; ++I) {
      EXPECT_EQ(Bitmap->Pixel(0, I), clBlack) << "left column " << I;
      EXPECT_EQ(Bitmap->Pixel(I, 78), clBlack) << "bottom row " << I;
    }
    EXPECT_EQ(Bitmap->Pixel(0, 0), clBlack);
    const auto E = DarkExtent(*Bitmap);
    EXPECT_GE(E.Right, 78);
    EXPECT_GE(E.Bottom, 78);
    EXPECT_EQ(E.Right, E.Bottom);
  }
}

TEST(BarcodeBitmap, KeepsModulesSquareInANonSquareArea) {
  const auto Bitmap = MakeDataMatrixBitmap(120, 60, u"E28011002000589616B408A1");
  const auto E = DarkExtent(*Bitmap);
  EXPECT_GE(E.Bottom, 58);
  EXPECT_EQ(E.Right, E.Bottom);
  EXPECT_EQ(Bitmap->Pixel(100, 30), clWhite);
}

TEST(BarcodeBitmap, FailsWithTheLibrarysErrorText) {
  EXPECT_THROW(MakeDataMatrixBitmap(80, 80, u""), Exception);
  EXPECT_THROW(MakeDataMatrixBitmap(80, 80, std::u16string(4000, u'7')), Exception);
}

TEST(BarcodeBitmap, CopiesAreCountedAndFreed) {
  const auto Before = TBitmap::LiveCount();
  {
    TBitmap A(3, 3);
    TBitmap B = A;
    TBitmap C = std::move(B);
    EXPECT_EQ(TBitmap::LiveCount(), Before + 3);
  }
  EXPECT_EQ(TBitmap::LiveCount(), Before);
}

}  // namespace
