// The tag window's behaviour through the window layer's state, the same on
// every platform.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/Form.h"
#include "rfid/ufmBarcodes.h"
#include "unit/window/DataMatrixReader.h"

namespace {

using platform::ui::TBitmap;

std::u16string Tid(int ANumber) { return u"E28011002000589616B408A" + IntToText(ANumber); }

std::vector<bool> VisibleTabs(const TfmBarcodes& AWindow) {
  std::vector<bool> Result;
  for (int Page = 0; Page < AWindow.PageControl().PageCount(); ++Page)
    Result.push_back(AWindow.PageControl().TabVisible(Page));
  return Result;
}

void ExpectShows(const TfmBarcodes& AWindow, int AImage, int AIndex, const std::u16string& AText) {
  SCOPED_TRACE("Image" + std::to_string(AImage));
  const auto& Image = AWindow.Image(AImage);
  EXPECT_TRUE(Image.Visible());
  EXPECT_EQ(Image.Tag(), AIndex);
  EXPECT_EQ(Image.Hint(), AText);
  EXPECT_TRUE(Image.ShowHint());
  ASSERT_NE(Image.Picture(), nullptr);
  ASSERT_EQ(Image.Picture()->Width(), 80);
  ASSERT_EQ(Image.Picture()->Height(), 80);
#if defined(_WIN32)
  // The Windows build has no Data Matrix reader: the picture is the one the
  // Linux build reads back as this text.
  const auto Expected = TfmBarcodes::MakeBarcodeBitmap(80, 80, AText);
  EXPECT_EQ(std::vector<std::uint32_t>(Image.Picture()->Data(), Image.Picture()->Data() + 80 * 80),
            std::vector<std::uint32_t>(Expected->Data(), Expected->Data() + 80 * 80));
#else
  EXPECT_EQ(window_test::ReadDataMatrix(*Image.Picture()), ToUtf8(AText));
#endif
}

TEST(TagWindow, IsCreatedHiddenWithEmptyTextsAndDesignSettings) {
  TfmBarcodes Window;
  EXPECT_FALSE(Window.Visible());
  EXPECT_EQ(Window.Form().Design().Caption, u"Эмулятор RFID");
  EXPECT_EQ(Window.Form().Design().ClientWidth, 185);
  EXPECT_EQ(Window.Form().Design().ClientHeight, 111);
  EXPECT_TRUE(Window.Form().AlphaBlend());
  EXPECT_EQ(Window.AlphaBlendValue(), 235);
  EXPECT_EQ(Window.PageControl().ActivePage(), 0);
  for (int I = 0; I < 8; ++I) EXPECT_EQ(Window.GetBarcode(I), u"");
  for (int N = 1; N <= 8; ++N) {
    EXPECT_FALSE(Window.Image(N).Visible());
    EXPECT_EQ(Window.Image(N).Page(), (N - 1) / 2);
    EXPECT_EQ(Window.Image(N).Bounds().Left, N % 2 ? 3 : 89);
    EXPECT_EQ(Window.Image(N).Bounds().Width, 80);
  }
  EXPECT_EQ(Window.BitmapCount(), 0u);
}

TEST(TagWindow, BarcodeIndexOutsideTheTextsRaises) {
  TfmBarcodes Window;
  for (int Index : {-1, 8, 1000}) {
    try {
      Window.SetBarcode(Index, u"x");
      FAIL() << "no exception for " << Index;
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message(), u"Index out of range");
    }
    EXPECT_THROW((void)Window.GetBarcode(Index), Exception);
  }
  Window.SetBarcode(7, u"last");
  EXPECT_EQ(Window.GetBarcode(7), u"last");
}

TEST(TagWindow, ShowWithoutTextsBuildsNothingAndKeepsTheActivePage) {
  TfmBarcodes Window;
  Window.PageControl().SetActivePage(2);
  Window.Show();
  EXPECT_TRUE(Window.Visible());
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(Window.PageControl().ActivePage(), 2);
  for (int N = 1; N <= 8; ++N) EXPECT_FALSE(Window.Image(N).Visible());
  EXPECT_EQ(Window.BitmapCount(), 0u);
}

TEST(TagWindow, ShowWithOneTextShowsTheFirstTabOnly) {
  TfmBarcodes Window;
  Window.SetBarcode(5, Tid(6));
  Window.PageControl().SetActivePage(3);
  Window.Show();
  ExpectShows(Window, 1, 5, Tid(6));
  for (int N = 2; N <= 8; ++N) EXPECT_FALSE(Window.Image(N).Visible());
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(Window.PageControl().ActivePage(), 3);
}

TEST(TagWindow, ShowPacksThreeTextsIntoTheFirstImagesAndTwoPages) {
  TfmBarcodes Window;
  Window.SetBarcode(0, u"first");
  Window.SetBarcode(4, u"fifth");
  Window.SetBarcode(6, u"seventh");
  Window.PageControl().SetActivePage(3);
  Window.Show();
  ExpectShows(Window, 1, 0, u"first");
  ExpectShows(Window, 2, 4, u"fifth");
  ExpectShows(Window, 3, 6, u"seventh");
  for (int N = 4; N <= 8; ++N) EXPECT_FALSE(Window.Image(N).Visible());
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(Window.PageControl().ActivePage(), 0);
}

TEST(TagWindow, ShowWithEightTidsFillsAllPages) {
  TfmBarcodes Window;
  for (int I = 0; I < 8; ++I) Window.SetBarcode(I, Tid(I + 1));
  Window.PageControl().SetActivePage(2);
  Window.Show();
  for (int N = 1; N <= 8; ++N) ExpectShows(Window, N, N - 1, Tid(N));
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{true, true, true, true}));
  EXPECT_EQ(Window.PageControl().ActivePage(), 0);
  EXPECT_EQ(Window.BitmapCount(), 8u);
}

TEST(TagWindow, ShowPlacesTheWindowTopRightAndTopmost) {
  TfmBarcodes Window;
  EXPECT_FALSE(Window.Form().Topmost());
  Window.Show();
  EXPECT_EQ(Window.Form().Left(), platform::ui::PrimaryScreenWidth() - Window.Form().Width());
  EXPECT_EQ(Window.Form().Top(), 10);
  EXPECT_GT(Window.Form().Width(), 185);
  EXPECT_TRUE(Window.Form().Topmost());
}

TEST(TagWindow, ShowingAgainShowsTheCurrentTextsAndLeavesOtherImagesAlone) {
  TfmBarcodes Window;
  for (int I = 0; I < 8; ++I) Window.SetBarcode(I, Tid(I + 1));
  Window.Show();
  Window.Hide();
  EXPECT_FALSE(Window.Visible());
  for (int I = 0; I < 8; ++I) Window.SetBarcode(I, u"");
  Window.SetBarcode(3, u"changed");
  Window.Show();
  ExpectShows(Window, 1, 3, u"changed");
  // Images of texts that are empty now keep what the earlier show gave them.
  ExpectShows(Window, 2, 1, Tid(2));
  ExpectShows(Window, 8, 7, Tid(8));
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{true, false, false, false}));
}

TEST(TagWindow, ShowOfAVisibleWindowDoesNotRebuild) {
  TfmBarcodes Window;
  Window.SetBarcode(0, u"one");
  Window.Show();
  Window.SetBarcode(0, u"two");
  Window.Show();
  EXPECT_EQ(Window.Image(1).Hint(), u"one");
}

TEST(TagWindow, DoubleClickReportsTheImagesIndex) {
  TfmBarcodes Window;
  Window.SetBarcode(0, u"first");
  Window.SetBarcode(4, u"fifth");
  Window.Show();
  // Without a handler a double-click does nothing.
  EXPECT_NO_THROW(Window.Image(2).DblClick());

  std::vector<std::intptr_t> Reported;
  Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
  Window.Image(2).DblClick();
  Window.Image(1).DblClick();
  Window.Image(2).DblClick();
  EXPECT_EQ(Reported, (std::vector<std::intptr_t>{4, 0, 4}));
}

TEST(TagWindow, EncodingErrorRaisesOutOfShowWithTheLibrarysText) {
  TfmBarcodes Window;
  Window.SetBarcode(0, u"fine");
  Window.SetBarcode(1, std::u16string(4000, u'Ж'));
  Window.SetBarcode(2, u"never built");
  try {
    Window.Show();
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_FALSE(E.Message().empty());
    EXPECT_NE(ToUtf8(E.Message()).find("too long"), std::string::npos) << E.what();
  }
  EXPECT_FALSE(Window.Visible());
  ExpectShows(Window, 1, 0, u"fine");
  EXPECT_FALSE(Window.Image(2).Visible());
  EXPECT_FALSE(Window.Image(3).Visible());
  EXPECT_EQ(VisibleTabs(Window), (std::vector<bool>{false, false, false, false}));
}

TEST(TagWindow, MemoryStaysFlatOverManyShowHideCycles) {
  const auto Before = TBitmap::LiveCount();
  {
    TfmBarcodes Window;
    for (int I = 0; I < 8; ++I) Window.SetBarcode(I, Tid(I + 1));
    Window.Show();
    Window.Hide();
    const auto AfterFirst = TBitmap::LiveCount();
    // Eight kept by the window, eight copies held by the images.
    EXPECT_EQ(AfterFirst - Before, 16u);
    for (int Cycle = 0; Cycle < 1000; ++Cycle) {
      Window.Show();
      Window.Hide();
    }
    EXPECT_EQ(TBitmap::LiveCount(), AfterFirst);
    EXPECT_EQ(Window.BitmapCount(), 8u);
  }
  EXPECT_EQ(TBitmap::LiveCount(), Before);
}

TEST(TagWindow, LiveFormsListsTheWindowWhileItExists) {
  const platform::ui::TForm* Found = nullptr;
  {
    TfmBarcodes Window;
    for (auto* Form : platform::ui::TForm::LiveForms())
      if (Form == &Window.Form()) Found = Form;
    EXPECT_EQ(Found, &Window.Form());
  }
  for (auto* Form : platform::ui::TForm::LiveForms()) EXPECT_NE(Form, Found);
}

}  // namespace

TEST(TagWindow, DigitKeysPresentTheirTagsAndPageKeysSkipHiddenTabs) {
  TfmBarcodes Window;
  for (int I = 0; I < 5; ++I) Window.SetBarcode(I, u"tag" + IntToText(I + 1));
  Window.Show();  // pages 1 to 3
  std::vector<std::intptr_t> Reported;
  Window.SetOnGetData([&](std::intptr_t AIndex) { Reported.push_back(AIndex); });
  for (const char16_t Key : {u'3', u'0', u'9', u'a', u'1', u'8'}) Window.Form().KeyPress(Key);
  EXPECT_EQ(Reported, (std::vector<std::intptr_t>{2, 0, 7}));

  std::vector<int> Pages;
  for (int I = 0; I < 4; ++I) {
    Window.Form().PageKey(true);
    Pages.push_back(Window.PageControl().ActivePage());
  }
  Window.Form().PageKey(false);
  Pages.push_back(Window.PageControl().ActivePage());
  EXPECT_EQ(Pages, (std::vector<int>{1, 2, 0, 1, 0}));
}
