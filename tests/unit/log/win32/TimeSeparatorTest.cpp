// The time separator of a log line follows the user's regional settings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/LocalTime.h"

namespace {

class TUserTimeSeparator {
public:
  explicit TUserTimeSeparator(const wchar_t* ASeparator) {
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, FSaved, 8);
    FSet = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, ASeparator) != FALSE;
  }
  ~TUserTimeSeparator() {
    if (FSet) SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, FSaved);
  }
  bool Set() const noexcept { return FSet; }

private:
  wchar_t FSaved[8] = L":";
  bool FSet = false;
};

TEST(TimeSeparator, IsTheUsersRegionalSetting) {
  {
    TUserTimeSeparator Dot(L".");
    ASSERT_TRUE(Dot.Set());
    EXPECT_EQ(platform::TimeSeparator(), u".");
  }
  EXPECT_EQ(platform::TimeSeparator(), u":");
}

}  // namespace
