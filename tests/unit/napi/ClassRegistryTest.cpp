#include <gtest/gtest.h>

#include "napi/ClassRegistry.h"

TEST(ClassRegistry, ClassNamesJoinRegisteredNamesWithBars) {
  TClassRegList List;
  EXPECT_STREQ(reinterpret_cast<const char*>(List.ClassNames()), "");
  List.RegisterClass(nullptr, u"A", u"A");
  EXPECT_EQ(std::u16string(List.ClassNames()), u"A");
  List.RegisterClass(nullptr, u"B", u"B");
  EXPECT_EQ(std::u16string(List.ClassNames()), u"A|B");
  EXPECT_EQ(List.ClassCount(), 2);
}

TEST(ClassRegistry, AnEmptyFirstNameAddsNoSeparator) {
  TClassRegList List;
  List.RegisterClass(nullptr, u"", u"");
  List.RegisterClass(nullptr, u"B", u"B");
  EXPECT_EQ(std::u16string(List.ClassNames()), u"B");
}

TEST(ClassRegistry, LookupsTakeTheFirstExactMatch) {
  TClassRegList List;
  TClassReg& First = List.RegisterClass(nullptr, u"A", u"A");
  List.RegisterClass(nullptr, u"A", u"A");
  EXPECT_EQ(List.FindClass(u"A"), &First);
  EXPECT_EQ(List.FindClass(u"a"), nullptr);
  First.AddFunc(u"Open", u"Подключить", nullptr, 1);
  First.AddProp(u"Speed", u"Скорость", true, false, nullptr);
  EXPECT_EQ(First.FindMethod(u"Подключить"), 0);
  EXPECT_EQ(First.FindMethod(u"Open"), 0);
  EXPECT_EQ(First.FindMethod(u"open"), -1);
  EXPECT_EQ(First.FindProp(u"Скорость"), 0);
  EXPECT_EQ(First.Meth(1), nullptr);
  EXPECT_EQ(First.Prop(-1), nullptr);
}

TEST(ClassRegistry, DefaultValuesKeepOrderAndOneBasedNumbers) {
  TClassRegList List;
  TMethReg& Meth = List.RegisterClass(nullptr, u"A", u"A").AddProc(u"P", u"П", nullptr, 2);
  EXPECT_FALSE(Meth.IsFunction);
  Meth.DefParams.AddInt(5, 1);
  PV8Variant First = Meth.DefParams.TempParam;
  Meth.DefParams.AddWString(u"x", 2);
  EXPECT_EQ(Meth.DefParams.ValueCount(), 2);
  EXPECT_EQ(Meth.DefParams.At(0)->Num, 0);
  EXPECT_EQ(Meth.DefParams.TempParam, &Meth.DefParams.At(1)->Value);
  EXPECT_EQ(First->VarEnum.lVal, 5);  // earlier records stay where they were
  EXPECT_EQ(Meth.DefParams.At(1)->Value.VarEnum.vtRecWideString.wstrLen, 1u);
}
