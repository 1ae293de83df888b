#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string_view>

#include "common/Exception.h"
#include "common/Text.h"
#include "napi/V8Variant.h"

namespace {

V8Variant Record(std::uint16_t AType) {
  V8Variant V{};
  V.vt = AType;
  return V;
}

V8Variant Text(char16_t* AText) {
  V8Variant V = Record(VTYPE_PWSTR);
  V.VarEnum.vtRecWideString.pwstrVal = AText;
  return V;
}

}  // namespace

TEST(V8VariantReaders, IntegerFollowsTheTypeAndTruncatesTowardZero) {
  V8Variant R8 = Record(VTYPE_R8);
  R8.VarEnum.dblVal = -2.7;
  EXPECT_EQ(V8GetInt(&R8), -2);
  char16_t Digits[] = u"12";
  char16_t Letters[] = u"abc";
  char16_t Hex[] = u"$1F";
  V8Variant T1 = Text(Digits), T2 = Text(Letters), T3 = Text(Hex);
  EXPECT_EQ(V8GetInt(&T1), 12);
  EXPECT_EQ(V8GetInt(&T2), 0);
  EXPECT_EQ(V8GetInt(&T3), 31);
  V8Variant Ui1 = Record(VTYPE_UI1);
  Ui1.VarEnum.ui8Val = 200;
  EXPECT_EQ(V8GetInt(&Ui1), 200);
  V8Variant Huge = Record(VTYPE_R8);
  Huge.VarEnum.dblVal = 1e300;
  EXPECT_EQ(V8GetInt(&Huge), 0);
  V8Variant I8 = Record(VTYPE_I8);
  I8.VarEnum.llVal = 5;
  EXPECT_EQ(V8GetInt(&I8), 0);
}

TEST(V8VariantReaders, NumericTextsConvertOnlyWhenTheyHoldANumberOfTheReadersRange) {
  const auto Int = [](std::u16string_view AText) -> std::optional<std::int32_t> {
    std::int32_t Value = 0;
    if (!V8TextToInt(AText, Value)) return std::nullopt;
    return Value;
  };
  EXPECT_EQ(Int(u"-2147483648"), -2147483647 - 1);
  EXPECT_EQ(Int(u"+2147483647"), 2147483647);
  EXPECT_EQ(Int(u"007"), 7);
  EXPECT_EQ(Int(u"$7fffffff"), 2147483647);
  EXPECT_EQ(Int(u"-$1F"), -31);
  EXPECT_EQ(Int(u"0X1f"), 31);
  for (const char16_t* Text : {u"2147483648", u"-2147483649", u"4294967296", u"99999999999999999999", u"$80000000",
                               u"0x100000000", u"inf", u"nan", u"1.5", u"1e3", u" 5", u"5 ", u"+-5", u"--5", u"$-5",
                               u"0x", u"$", u"-", u"", u"\u0661"})
    EXPECT_EQ(Int(Text), std::nullopt) << ToUtf8(Text);

  const auto Real = [](std::u16string_view AText) -> std::optional<double> {
    double Value = 0;
    if (!V8TextToDouble(AText, Value)) return std::nullopt;
    return Value;
  };
  EXPECT_EQ(Real(u"4294967296"), 4294967296.0);
  EXPECT_EQ(Real(u"-1,5e3"), -1500.0);
  EXPECT_EQ(Real(u"+.25"), 0.25);
  EXPECT_EQ(Real(u"2E-3"), 0.002);
  for (const char16_t* Text : {u"inf", u"-inf", u"infinity", u"nan", u"NaN", u"nan(1)", u"1e400", u"-1e400",
                               u"0x10", u"$10", u"+-5", u"1,5,5", u" 1", u"1 ", u"", u"+"})
    EXPECT_EQ(Real(Text), std::nullopt) << ToUtf8(Text);
}

TEST(V8VariantReaders, BooleanIsTheIntegerConversionUnlessItIsABoolean) {
  V8Variant I4 = Record(VTYPE_I4);
  I4.VarEnum.lVal = 5;
  EXPECT_TRUE(V8GetBool(&I4));
  char16_t Zero[] = u"0";
  V8Variant T = Text(Zero);
  EXPECT_FALSE(V8GetBool(&T));
  V8Variant B = Record(VTYPE_BOOL);
  B.VarEnum.bVal = true;
  EXPECT_TRUE(V8GetBool(&B));
}

TEST(V8VariantReaders, DoubleAndTextReadOnlyTheirOwnKinds) {
  V8Variant B = Record(VTYPE_BOOL);
  B.VarEnum.bVal = true;
  EXPECT_EQ(V8GetDouble(&B), 0.0);
  char16_t Comma[] = u"1,5";
  V8Variant T = Text(Comma);
  EXPECT_EQ(V8GetDouble(&T), 1.5);
  char Narrow[] = "abc";
  V8Variant P = Record(VTYPE_PSTR);
  P.VarEnum.vtRecString.pstrVal = Narrow;
  EXPECT_EQ(V8GetWString(&P), u"");
  EXPECT_TRUE(V8IsString(&P));
  V8Variant NullText = Text(nullptr);
  EXPECT_EQ(V8GetWString(&NullText), u"");
}

TEST(V8VariantReaders, AbsentParametersReadAsEmpty) {
  EXPECT_EQ(V8GetWString(nullptr), u"");
  EXPECT_EQ(V8GetInt(nullptr), 0);
  EXPECT_FALSE(V8GetBool(nullptr));
  EXPECT_FALSE(V8IsString(nullptr));
}

TEST(V8VariantReaders, TypeWordIsSixteenBitsAndPaddingIsIgnored) {
  char16_t Digits[] = u"42";
  V8Variant V = Text(Digits);
  V.vtPadding = 0xBEEF;
  EXPECT_EQ(V8GetInt(&V), 42);
  EXPECT_EQ(V8GetWString(&V), u"42");
  EXPECT_EQ(V8ToStr(V), u"42");
}

TEST(V8VariantRendering, TypeNamesCarryAtMostOneSuffix) {
  EXPECT_EQ(V8TypeName(VTYPE_I4 | VTYPE_BYREF | VTYPE_ARRAY), "VTYPE_I4 by ref");
  EXPECT_EQ(V8TypeName(VTYPE_I4 | VTYPE_ARRAY | VTYPE_VECTOR), "VTYPE_I4 array");
  EXPECT_EQ(V8TypeName(VTYPE_BLOB | VTYPE_VECTOR), "VTYPE_BLOB vector");
  EXPECT_EQ(V8TypeName(25), "unknown type");
  EXPECT_EQ(V8TypeName(VTYPE_STR_BLOB), "VTYPE_STR_BLOB");
}

TEST(V8VariantRendering, RendersTheTraceableTypes) {
  V8Variant I4 = Record(VTYPE_I4);
  I4.VarEnum.lVal = -7;
  EXPECT_EQ(V8ToStr(I4), u"-7");
  V8Variant R8 = Record(VTYPE_R8);
  R8.VarEnum.dblVal = 2.5;
  EXPECT_EQ(V8ToStr(R8), u"2.5");
  V8Variant B = Record(VTYPE_BOOL);
  B.VarEnum.bVal = true;
  EXPECT_EQ(V8ToStr(B), u"true");
  V8Variant Tm = Record(VTYPE_TM);
  Tm.VarEnum.tmVal.tm_year = 126;
  Tm.VarEnum.tmVal.tm_mon = 11;
  Tm.VarEnum.tmVal.tm_mday = 8;
  Tm.VarEnum.tmVal.tm_hour = 10;
  Tm.VarEnum.tmVal.tm_min = 5;
  Tm.VarEnum.tmVal.tm_sec = 9;
  EXPECT_EQ(V8ToStr(Tm), u"2026-12-08T10:05:09");
  EXPECT_EQ(V8ToStr(Record(VTYPE_EMPTY)), u"");
}

TEST(V8VariantRendering, RefusesWhatItCannotRender) {
  for (const std::uint16_t Type : {std::uint16_t{VTYPE_DATE}, std::uint16_t{VTYPE_R4}, std::uint16_t{VTYPE_PSTR},
                                   std::uint16_t{VTYPE_NULL}, std::uint16_t{VTYPE_I4 | VTYPE_BYREF}}) {
    try {
      V8ToStr(Record(Type));
      FAIL() << "rendered type " << Type;
    } catch (const Exception& E) {
      const std::string Name = V8TypeName(Type);
      EXPECT_EQ(E.Message(), u"Unsupported data type - " + std::u16string(Name.begin(), Name.end()));
    }
  }
}

TEST(V8VariantDates, BrokenDownTimeBecomesDaysSince1899) {
  TV8SystemTm Tm{};
  Tm.tm_year = 0;  // 1900-01-01 12:00
  Tm.tm_mday = 1;
  Tm.tm_hour = 12;
  EXPECT_DOUBLE_EQ(V8TmToDateTime(Tm).Value, 2.5);
  Tm.tm_year = -1;  // 1899-12-30 is day 0
  Tm.tm_mon = 11;
  Tm.tm_mday = 30;
  Tm.tm_hour = 0;
  EXPECT_DOUBLE_EQ(V8TmToDateTime(Tm).Value, 0.0);
  Tm.tm_mday = 31;
  Tm.tm_mon = 10;  // 31 November
  EXPECT_THROW(V8TmToDateTime(Tm), Exception);
}

TEST(V8ParamArray, PositionsPastTheCountAreAbsent) {
  V8Variant Items[2]{};
  const TV8ParamArray Params(Items, 1);
  EXPECT_EQ(Params[0], &Items[0]);
  EXPECT_EQ(Params[1], nullptr);
  EXPECT_EQ(Params[-1], nullptr);
  EXPECT_EQ(TV8ParamArray(nullptr, 3).Count(), 0);
}
