#include <gtest/gtest.h>

#include <cstring>

#include "unit/InProcessHost.h"
#include "napi/V8UserObject.h"

namespace {

class V8Writers : public ::testing::Test {
protected:
  void SetUp() override { Object.V8MM = AddinView(Host.Memory); }
  void TearDown() override {
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
  }
  // Gives a record's text back as the platform would.
  void HostFree(V8Variant& V) { Object.V8ClearVar(&V); }

  v8host::THost Host;
  TV8UserObject Object;
};

}  // namespace

TEST_F(V8Writers, WideTextIsAHostCopyWithTerminator) {
  V8Variant V{};
  ASSERT_TRUE(Object.V8SetWString(&V, u""));
  EXPECT_EQ(V.vt, VTYPE_PWSTR);
  EXPECT_EQ(V.VarEnum.vtRecWideString.wstrLen, 0u);
  EXPECT_EQ(Host.Memory.BlockSize(V.VarEnum.vtRecWideString.pwstrVal), 2u);
  ASSERT_TRUE(Object.V8SetWString(&V, u"Параметры"));
  EXPECT_EQ(V.VarEnum.vtRecWideString.wstrLen, 9u);
  EXPECT_EQ(Host.Memory.BlockSize(V.VarEnum.vtRecWideString.pwstrVal), 20u);
  EXPECT_EQ(std::u16string(V.VarEnum.vtRecWideString.pwstrVal), u"Параметры");
  EXPECT_EQ(Host.Memory.LiveBlocks(), 1u);  // the earlier block was given back
  HostFree(V);
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

TEST_F(V8Writers, RefusedAllocationKeepsTheTypeWithoutText) {
  Host.Memory.RefuseAll();
  V8Variant V{};
  EXPECT_FALSE(Object.V8SetWString(&V, u"abc"));
  EXPECT_EQ(V.vt, VTYPE_PWSTR);
  EXPECT_EQ(V.VarEnum.vtRecWideString.pwstrVal, nullptr);
  EXPECT_EQ(V.VarEnum.vtRecWideString.wstrLen, 0u);
  EXPECT_FALSE(Object.V8SetPChar(&V, "abc"));
  EXPECT_EQ(V.vt, VTYPE_PSTR);
  EXPECT_EQ(V8CopyWString(AddinView(Host.Memory), u"x"), nullptr);
  EXPECT_EQ(V8CopyWString(nullptr, u"x"), nullptr);
}

TEST_F(V8Writers, NullSourcesLeaveTheRecordAlone) {
  V8Variant V{};
  ASSERT_TRUE(Object.V8SetWString(&V, u"keep"));
  EXPECT_TRUE(Object.V8SetPChar(&V, nullptr));
  EXPECT_TRUE(Object.V8SetBlob(&V, nullptr, 4));
  EXPECT_EQ(V8GetWString(&V), u"keep");
  HostFree(V);
}

TEST_F(V8Writers, BlobsAndNarrowTexts) {
  V8Variant V{};
  const char Bytes[] = {1, 0, 2};
  ASSERT_TRUE(Object.V8SetBlob(&V, Bytes, 3));
  EXPECT_EQ(V.vt, VTYPE_BLOB);
  EXPECT_EQ(V.VarEnum.vtRecString.strLen, 3u);
  EXPECT_EQ(std::memcmp(V.VarEnum.vtRecString.pstrVal, Bytes, 3), 0);
  EXPECT_FALSE(Object.V8SetBlob(&V, Bytes, -1));
  ASSERT_TRUE(Object.V8SetString(&V, std::string()));
  EXPECT_EQ(V.vt, VTYPE_PSTR);
  EXPECT_EQ(Host.Memory.BlockSize(V.VarEnum.vtRecString.pstrVal), 1u);
  HostFree(V);
}

TEST_F(V8Writers, ClearingAFlaggedOrNullTextTouchesNothingOnTheHost) {
  V8Variant V{};
  V.vt = VTYPE_PWSTR;
  V.vtPadding = 0xFFFF;
  Object.V8ClearVar(&V);
  EXPECT_EQ(Host.Memory.AddinFrees(), 0u);
  const V8Variant Zero{};
  EXPECT_EQ(std::memcmp(&V, &Zero, sizeof V), 0);
}

TEST_F(V8Writers, WritingAnAbsentParameterDoesNothing) {
  EXPECT_FALSE(Object.V8SetWString(nullptr, u"lost"));
  Object.V8SetInt(nullptr, 1);
  Object.V8SetBool(nullptr, true);
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
}

TEST_F(V8Writers, ScalarsReplaceTexts) {
  V8Variant V{};
  ASSERT_TRUE(Object.V8SetWString(&V, u"gone"));
  Object.V8SetInt(&V, 7);
  EXPECT_EQ(V.vt, VTYPE_I4);
  EXPECT_EQ(V.VarEnum.lVal, 7);
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
  Object.V8SetInt64(&V, 1LL << 40);
  EXPECT_EQ(V.vt, VTYPE_I8);
  Object.V8SetDate(&V, TDateTime{3.25});
  EXPECT_EQ(V.vt, VTYPE_DATE);
  EXPECT_EQ(V.VarEnum.date, 3.25);
}
