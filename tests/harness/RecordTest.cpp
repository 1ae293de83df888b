// The value record as the platform lays it out, and the harness's writing
// and reading of records.
#include <gtest/gtest.h>

#include <cstring>

#include "v8host/Memory.h"
#include "v8host/Records.h"
#include "v8host/Value.h"

using namespace v8host;

// The layout the platform's compiler gives the record, per target.
#if defined(_WIN32)
static_assert(sizeof(TV8Variant) == 48);
static_assert(offsetof(TV8Variant, cbElements) == 40);
static_assert(offsetof(TV8Variant, vt) == 44);
static_assert(sizeof(long) == 4, "the platform's long is 32-bit on Windows");
#else
static_assert(sizeof(TV8Variant) == 64);
static_assert(offsetof(TV8Variant, cbElements) == 56);
static_assert(offsetof(TV8Variant, vt) == 60);
static_assert(sizeof(long) == 8, "the platform's long is 64-bit on Linux x86_64");
#endif
static_assert(kDestructorSlots == (kWindowsAbi ? 1 : 2));
static_assert(SlotOf(Extender::CallAsFunc) == 16 + kDestructorSlots - 1);

TEST(Record, TypeWordAndLengthSitWhereThePlatformPutsThem) {
  TV8Variant record{};
  record.vt = VTYPE_PWSTR;
  record.wstr.wstrLen = 0x01020304;
  const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
  const std::size_t vtOffset = kWindowsAbi ? 44 : 60;
  EXPECT_EQ(bytes[vtOffset], VTYPE_PWSTR);
  EXPECT_EQ(bytes[vtOffset + 1], 0);
  EXPECT_EQ(bytes[sizeof(void*)], 0x04) << "wstrLen follows the pointer";
}

TEST(Record, ValuesSurviveAWriteAndARead) {
  TMemoryManager memory;
  const TDateTime when{2026, 12, 8, 10, 0, 5};
  const std::vector<TValue> values = {
      TValue::Empty(),           TValue::Null(),          TValue::I4(-42),           TValue::I8(1LL << 40),
      TValue::R8(-2.5),          TValue::Boolean(true),   TValue::Date(46364.5),     TValue::Tm(when),
      TValue::Text16(u"Привет"), TValue::Text16(u""),     TValue::PStr("abc"),       TValue::Blob(std::string("\0\1\2", 3)),
  };
  TRecordArray records(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) records.Set(i, values[i], memory);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const TValue back = ReadRecord(records[i], &memory);
    EXPECT_EQ(back.Type, values[i].Type) << i;
    EXPECT_EQ(back.Display(), values[i].Display()) << i;
  }
  // The text went into a block of 2 x length + 2 bytes with its terminator.
  EXPECT_EQ(memory.BlockSize(records[8].wstr.pwstrVal), 14u);
  EXPECT_EQ(records[8].wstr.wstrLen, 6u);
  EXPECT_EQ(records[8].wstr.pwstrVal[6], u'\0');
  EXPECT_EQ(memory.LiveBlocks(), 4u);
  for (std::size_t i = 0; i < values.size(); ++i) memory.Free(PayloadOf(records[i]));
  EXPECT_EQ(memory.LiveBlocks(), 0u);
  EXPECT_TRUE(memory.Errors().empty()) << memory.ErrorReport();
}

TEST(Record, TmCarriesTheCalendarFieldsTheWayStructTmDoes) {
  TMemoryManager memory;
  TRecordArray records(1);
  records.Set(0, TValue::Tm({2026, 12, 8, 10, 30, 0}), memory);
  const TV8Tm& tm = records[0].tmVal;
  EXPECT_EQ(tm.tm_year, 126);
  EXPECT_EQ(tm.tm_mon, 11);
  EXPECT_EQ(tm.tm_mday, 8);
  EXPECT_EQ(tm.tm_hour, 10);
  EXPECT_EQ(tm.tm_min, 30);
  EXPECT_EQ(tm.tm_wday, 2) << "a Tuesday";
  EXPECT_EQ(tm.tm_yday, 341);
}

TEST(Record, OleDatesCountDaysFrom1899_12_30) {
  EXPECT_EQ(ToOleDate({1899, 12, 30, 0, 0, 0}), 0.0);
  EXPECT_EQ(ToOleDate({2026, 12, 8, 12, 0, 0}), 46364.5);
  EXPECT_EQ(FromOleDate(46364.5), (TDateTime{2026, 12, 8, 12, 0, 0}));
  EXPECT_EQ(FromOleDate(ToOleDate({1900, 3, 1, 23, 59, 59})), (TDateTime{1900, 3, 1, 23, 59, 59}));
}

TEST(Record, FlaggedAndUnknownTypesAreNamedNotFollowed) {
  TV8Variant record{};
  record.vt = VTYPE_I4 | VTYPE_BYREF;
  record.pvarVal = nullptr;
  const TValue value = ReadRecord(record);
  EXPECT_EQ(value.Display(), "<I4|byref>");
  EXPECT_EQ(TypeName(25), "unknown(25)");
  EXPECT_EQ(TypeName(VTYPE_PWSTR), "PWSTR");
}

TEST(Record, ReadingATextNeverPassesItsBlock) {
  TMemoryManager memory;
  TRecordArray records(1);
  records.Set(0, TValue::Text16(u"ab"), memory);
  records[0].wstr.wstrLen = 1000;  // a length that lies
  const TValue value = ReadRecord(records[0], &memory);
  EXPECT_EQ(value.Length, 1000u);
  EXPECT_EQ(value.Text.size(), 3u) << "cut to the 6-byte block";
  memory.Free(PayloadOf(records[0]));
}

TEST(Record, UnusedBytesCanHoldGarbage) {
  TMemoryManager memory;
  TRecordArray records(2);
  records.Set(0, TValue::I4(7), memory);
  records.Set(1, TValue::Boolean(true), memory);
  records.FillUnusedBytes(0xCC);
  EXPECT_EQ(records[0].lVal, 7);
  EXPECT_EQ(records[0].raw[4], 0xCC);
  EXPECT_EQ(records[0].padding, 0xCCCC);
  EXPECT_EQ(records[0].vt, VTYPE_I4);
  EXPECT_EQ(records[1].raw[0], 1);
  EXPECT_EQ(records[1].raw[1], 0xCC);
}

TEST(Record, GuardedArrayEndsExactlyAtThePageBoundary) {
  TMemoryManager memory;
  for (std::size_t count : {1u, 3u, 100u}) {
    TRecordArray records(count, TPlacement::plBeforeNoAccessPage);
    const auto end = reinterpret_cast<std::uintptr_t>(records.Data() + count);
    EXPECT_EQ(end % PageSize(), 0u) << count;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(records.Data()) % alignof(TV8Variant), 0u);
    records.Set(count - 1, TValue::Text16(u"last"), memory);  // the last record is usable
    EXPECT_EQ(ReadRecord(records[count - 1]).Text, u"last");
    memory.Free(PayloadOf(records[count - 1]));
  }
}

#if !defined(_WIN32)
TEST(RecordDeathTest, ReadingPastAGuardedArrayFaults) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TRecordArray records(2, TPlacement::plBeforeNoAccessPage);
  volatile const unsigned char* past = reinterpret_cast<const unsigned char*>(records.Data() + 2);
  EXPECT_DEATH((void)*past, "");
}
#endif
