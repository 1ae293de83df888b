// Narrow, wide and Unicode strings and integers of every width are
// properties the host can read and write.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/Exception.h"
#include "driver/uCustomDriver.h"
#include "unit/InProcessHost.h"

namespace {

class TKindsDriver : public TCustomDriver {
  QV_DECLARATIONS(TKindsDriver, TCustomDriver)

public:
  QV_EXPORT_PROP_FIELD(Narrow, FNarrow, u"Узкая", u"Узкая", u"", false)
  std::string FNarrow;
  QV_EXPORT_PROP_FIELD(Wide, FWide, u"Широкая", u"Широкая", u"", false)
  std::wstring FWide;
  QV_EXPORT_PROP_FIELD(Short, FShort, u"Короткое", u"Короткое", u"0", false)
  std::int16_t FShort = 0;
  QV_EXPORT_PROP_FIELD(Byte, FByte, u"Байт", u"Байт", u"0", false)
  std::uint8_t FByte = 0;
  QV_EXPORT_PROP_FIELD(Big, FBig, u"Большое", u"Большое", u"0", false)
  std::int64_t FBig = 0;
  QV_END_DECLARATIONS()
};

// "Ёж 𝄞": Cyrillic, a space and a character outside the basic plane.
const std::u16string Text = u"\u0401\u0436 \U0001D11E";

class PropertyKinds : public ::testing::Test {
protected:
  PropertyKinds() { Driver.V8MM = AddinView(Host.Memory); }
  ~PropertyKinds() override { Driver.V8ClearVar(&Value); }

  void Write(const std::u16string& AName, V8Variant AValue) {
    Driver.PropertyGetSet(AName, &AValue, false, nullptr);
  }
  const V8Variant& Read(const std::u16string& AName) {
    Driver.PropertyGetSet(AName, &Value, true, nullptr);
    return Value;
  }
  static V8Variant TextValue(const std::u16string& AText) {
    V8Variant V{};
    V.vt = VTYPE_PWSTR;
    V.VarEnum.vtRecWideString.pwstrVal = const_cast<char16_t*>(AText.c_str());
    V.VarEnum.vtRecWideString.wstrLen = static_cast<std::uint32_t>(AText.size());
    return V;
  }
  static V8Variant IntValue(std::int32_t AValue) {
    V8Variant V{};
    V.vt = VTYPE_I4;
    V.VarEnum.lVal = AValue;
    return V;
  }

  v8host::THost Host;
  TKindsDriver Driver;
  V8Variant Value{};
};

TEST_F(PropertyKinds, NarrowAndWideStringsCarryTheText) {
  Write(u"Narrow", TextValue(Text));
  EXPECT_EQ(Driver.FNarrow, "\xD0\x81\xD0\xB6 \xF0\x9D\x84\x9E");
  EXPECT_EQ(V8GetWString(&Read(u"narrow")), Text);
  Write(u"Широкая", TextValue(Text));
  EXPECT_EQ(Driver.FWide, L"\u0401\u0436 \U0001D11E");
  EXPECT_EQ(V8GetWString(&Read(u"Wide")), Text);
  EXPECT_THROW(Write(u"Wide", IntValue(1)), Exception);  // "Value type unacceptable"
}

TEST_F(PropertyKinds, IntegersOfEveryWidthAreHostIntegers) {
  Write(u"Short", IntValue(-12));
  EXPECT_EQ(Driver.FShort, -12);
  EXPECT_EQ(Read(u"Short").VarEnum.lVal, -12);
  EXPECT_EQ(Value.vt, VTYPE_I4);
  Write(u"Byte", TextValue(u"200"));
  EXPECT_EQ(Driver.FByte, 200);
  EXPECT_EQ(Read(u"Byte").VarEnum.lVal, 200);
  Write(u"Big", IntValue(-7));
  EXPECT_EQ(Driver.FBig, -7);
  EXPECT_EQ(Read(u"Big").VarEnum.lVal, -7);
}

}  // namespace
