// A registration that fails while the library loads ends nothing: the
// library offers no class, and the failure reaches the log when the
// platform asks for the class names.
#include <gtest/gtest.h>

#include "common/Exception.h"
#include "driver/uCommonDriver.h"
#include "napi/V8Exports.h"
#include "unit/log/LogSandbox.h"

namespace {

// A driver whose description cannot be filled, as when the module's version
// cannot be read.
class TUnversionedDriver : public TCommonDriver {
  QV_DECLARATIONS(TUnversionedDriver, TCommonDriver)

public:
  static void UpdateDriverInfo(PDriverInfo) { throw Exception(u"The version cannot be read"); }
  QV_END_DECLARATIONS()
};

class RegistrationFailure : public LogTest::TLogSandbox {
protected:
  void TearDown() override {
    SetDriverExtension(FSavedExtension);
    DriverInfo() = FSavedInfo;
    TLogSandbox::TearDown();
  }

  std::u16string FSavedExtension = DriverExtension();
  TDriverInfo FSavedInfo = DriverInfo();
};

TEST_F(RegistrationFailure, OffersNoClassAndLogsTheFailureWhenNamesAreAsked) {
  const std::u16string NamesBefore = GetClassNames();
  const std::int32_t CountBefore = ClassRegList().ClassCount();

  EXPECT_FALSE(TCommonDriver::RegisterDriverAtLoad<TUnversionedDriver>(u"unversioned", u"Name", u"Description"));
  EXPECT_EQ(ClassRegList().ClassCount(), CountBefore);
  EXPECT_EQ(ClassRegList().FindClass(u"unversioned"), nullptr);
  EXPECT_EQ(std::u16string(ClassRegList().ClassNames()), NamesBefore);

  // Logging is off, as it is while the library loads.
  Common::Log::SetLogName(FName);
  EXPECT_EQ(std::u16string(GetClassNames()), NamesBefore);
  const auto Lines = LogTest::ReadLines(TodaysFile());
  ASSERT_EQ(Lines.size(), 9u);
  EXPECT_EQ(Lines[1], "============Start log=============");
  EXPECT_EQ(Lines[6],
            "2026.12.07 09:05:03.007\tERROR\tRegistration failed: \t"
            "The driver unversioned is not offered: The version cannot be read");
  EXPECT_EQ(Lines[7], "============Stop log===============");
  EXPECT_EQ(Common::Log::LogMode(), Common::Log::lmOff);
  // Reported once.
  GetClassNames();
  EXPECT_EQ(LogTest::ReadLines(TodaysFile()).size(), 9u);
}

}  // namespace
