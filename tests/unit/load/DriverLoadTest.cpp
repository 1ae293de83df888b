// Many calls on one driver object through the harness: the platform's live
// blocks come back to where they started, and the process's memory stays
// flat once warmed up. Not timed.
#include <gtest/gtest.h>

#include <functional>

#include "rfid/uDriver.h"
#include "unit/InProcessHost.h"
#include "unit/load/ProcessMemory.h"
#include "unit/log/LogSandbox.h"

using v8host::TValue;

namespace {

// What the process may gain between the end of the warm-up (a tenth of the
// iterations) and the end: in its resident set, and in the heap blocks it
// holds (the closer measure of what the driver's own objects take).
//
// Under Wine the working set also grows by about a third of a kilobyte with
// every show and hide of a window, the driver's code not involved (a bare
// Show/Hide loop on the form does the same, while the heaps stay flat); the
// Windows cycle count keeps that well inside the slack.
constexpr std::size_t kResidentSlack = 2u << 20;
constexpr std::size_t kHeapSlack = 256u << 10;

// AddressSanitizer holds freed blocks back (its quarantine, 256 MB by
// default) to catch late uses, so an instrumented process grows until the
// quarantine is full whatever the code does; there the live-block count and
// the leak check at exit stand for flat memory.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemoryComparable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kResidentMemoryComparable = false;
#else
constexpr bool kResidentMemoryComparable = true;
#endif
#else
constexpr bool kResidentMemoryComparable = true;
#endif

class DriverLoad : public LogTest::TLogSandbox {
protected:
  void TearDown() override {
    C.reset();
    EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
    EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
    EXPECT_TRUE(Host.Services.Errors().empty());
    TLogSandbox::TearDown();
  }

  // The call answered, and a Boolean result says success.
  bool Run(std::u16string_view AName, const std::vector<TValue>& AParams) {
    const v8host::TCallResult R = C->CallAsFunc(AName, AParams);
    if (!R.Ok) return false;
    return R.Result.Type != VTYPE_BOOL || R.Result.Bool;
  }

  // Runs AStep AIterations times; memory is measured after the first tenth
  // and at the end, live blocks before and after.
  void Repeat(int AIterations, const std::function<bool(int)>& AStep) {
    const std::size_t StartBlocks = Host.Memory.LiveBlocks();
    std::size_t WarmResident = 0, WarmHeap = 0;
    int Failures = 0;
    for (int I = 0; I < AIterations; ++I) {
      if (I == AIterations / 10) {
        WarmResident = LoadTest::ResidentBytes();
        WarmHeap = LoadTest::HeapBytesInUse();
      }
      if (!AStep(I) && ++Failures <= 3) ADD_FAILURE() << "iteration " << I << " failed";
      Host.Memory.ClearRequests();  // the harness's record of every request would grow
    }
    const std::size_t EndResident = LoadTest::ResidentBytes();
    const std::size_t EndHeap = LoadTest::HeapBytesInUse();
    EXPECT_EQ(Host.Memory.LiveBlocks(), StartBlocks);
    if (kResidentMemoryComparable) {
      EXPECT_LE(EndResident, WarmResident + kResidentSlack)
          << "resident after warm-up " << WarmResident << " bytes, at the end " << EndResident;
      EXPECT_LE(EndHeap, WarmHeap + kHeapSlack)
          << "heap after warm-up " << WarmHeap << " bytes, at the end " << EndHeap;
    }
    RecordProperty("resident_kb_warm", static_cast<int>(WarmResident >> 10));
    RecordProperty("resident_kb_end", static_cast<int>(EndResident >> 10));
    RecordProperty("heap_kb_warm", static_cast<int>(WarmHeap >> 10));
    RecordProperty("heap_kb_end", static_cast<int>(EndHeap >> 10));
  }

  v8host::THost Host;
  std::unique_ptr<v8host::TComponent> C = std::make_unique<v8host::TComponent>(InProcessAddin(), Host, kDriverExtension);
};

// Each Open shows the tag window and draws its eight pictures anew; each
// Close hides it. Ten thousand cycles on Linux, fewer under Wine (see
// kOpenCloseCycles).
TEST_F(DriverLoad, TenThousandOpenCloseCycles) {
  Repeat(LoadTest::kOpenCloseCycles, [&](int) { return Run(u"Open", {TValue::Empty()}) && Run(u"Close", {TValue::Empty()}); });
}

TEST_F(DriverLoad, HundredThousandMethodCalls) {
  ASSERT_TRUE(Run(u"SetParameter", {TValue::Text16(u"EPC1"), TValue::Text16(u"3074367C34001E880A6D6168")}));
  ASSERT_TRUE(Run(u"Open", {TValue::Empty()}));
  TfmBarcodes& Window = *UserObjectOf<TDriver>(*C).Barcodes();
  Window.Image(1).DblClick();
  Window.Image(2).DblClick();
  const std::vector<TValue> Revision;
  const std::vector<TValue> Tags{TValue::Empty(), TValue::Text16(u"pkg"), TValue::Empty()};
  Repeat(100000, [&](int I) {
    switch (I % 4) {
      case 0: return Run(u"GetInterfaceRevision", Revision);
      case 1: return Run(u"GetDataTagsRFID", Tags);
      case 2: return Run(u"SetParameter", {TValue::Text16(u"USER2"), TValue::Text16(u"AA53EE150D")});
      default: return Run(u"GetLastError", {TValue::Empty()});
    }
  });
}

}  // namespace
