// The GTK window layer where no display exists, and its descriptor watches
// (sources of GLib's default main context, which need no display either).
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include "common/Exception.h"
#include "platform/ui/FdWatch.h"
#include "platform/ui/Form.h"
#include "rfid/ufmBarcodes.h"

namespace {

struct TPipe {
  int Read = -1;
  int Write = -1;
  TPipe() {
    int Fds[2];
    if (pipe(Fds) == 0) {
      Read = Fds[0];
      Write = Fds[1];
    }
  }
  ~TPipe() {
    if (Read >= 0) close(Read);
    if (Write >= 0) close(Write);
  }
};

TEST(GtkLayerWithoutDisplay, TagWindowIsCreatedButShowFailsClearlyAndStaysHidden) {
  ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "run without DISPLAY";
  TfmBarcodes Window;
  for (int Attempt = 0; Attempt < 2; ++Attempt) {
    try {
      Window.Show();
      FAIL() << "a window cannot be shown without a display";
    } catch (const Exception& E) {
      EXPECT_NE(std::string(E.what()).find("no graphical display is available"), std::string::npos) << E.what();
    }
    EXPECT_FALSE(Window.Form().Visible());
  }
}

TEST(GtkLayerFdWatch, CallbackRunsFromTheEventProcessingWhileTheWatchLives) {
  TPipe Pipe;
  ASSERT_GE(Pipe.Read, 0);
  int Calls = 0;
  auto Watch = platform::ui::WatchReadable(Pipe.Read, [&] {
    ++Calls;
    char Byte;
    (void)read(Pipe.Read, &Byte, 1);
  });
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 0);  // nothing to read yet
  ASSERT_EQ(write(Pipe.Write, "x", 1), 1);
  EXPECT_EQ(Calls, 0);  // only the event processing runs it
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 1);
  Watch.reset();
  ASSERT_EQ(write(Pipe.Write, "y", 1), 1);
  platform::ui::ProcessMessages();
  EXPECT_EQ(Calls, 1);  // ended with the watch
}

TEST(GtkLayerFdWatch, HangUpOfThePeerIsReported) {
  TPipe Pipe;
  bool Called = false;
  auto Watch = platform::ui::WatchReadable(Pipe.Read, [&] { Called = true; });
  close(Pipe.Write);
  Pipe.Write = -1;
  platform::ui::ProcessMessages();
  EXPECT_TRUE(Called);
}

}  // namespace
