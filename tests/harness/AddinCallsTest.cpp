// Every method of the add-in's class called the way a careless or hostile
// platform might: with fewer records than it takes, the array ending at a
// no-access page, and with garbage in the bytes that carry no value.
#include <gtest/gtest.h>

#include "AddinFixture.h"
#include "v8host/Text.h"

using namespace v8host;

using AddinCalls = harness::AddinObjectTest;

namespace {

// Methods that would show a modal window when they succeed are left out:
// nobody is there to close it.
bool Harmless(const TMethodInfo& AMethod) { return AMethod.Name != u"DoAdditionalAction"; }

}  // namespace

// The class's fourteen methods: the four RFID ones and the ten standard ones.
constexpr std::size_t kMethodCount = 14;

TEST_F(AddinCalls, FewerRecordsThanParametersStayInsideTheArray) {
  auto component = Create();
  ASSERT_EQ(component->Methods().size(), kMethodCount);
  int shortCalls = 0;
  for (const TMethodInfo& method : component->Methods()) {
    if (!Harmless(method)) continue;
    SCOPED_TRACE(ToUtf8(method.Name));
    for (TV8Long count = 0; count < method.ParamCount; ++count) {
      // Any access past the last record faults at once.
      TCallOptions options;
      options.Placement = TPlacement::plBeforeNoAccessPage;
      const std::vector<TValue> params(static_cast<std::size_t>(count));
      const TCallResult result = method.HasRetVal ? component->CallAsFunc(method.Index, params, options)
                                                  : component->CallAsProc(method.Index, params, options);
      // The records that are not there are taken as absent: the answer is
      // the one of the whole list with them empty.
      const std::vector<TValue> whole(static_cast<std::size_t>(method.ParamCount));
      const TCallResult wholeResult = method.HasRetVal ? component->CallAsFunc(method.Index, whole)
                                                       : component->CallAsProc(method.Index, whole);
      EXPECT_EQ(result.Ok, wholeResult.Ok) << "with " << count;
      EXPECT_EQ(result.Result, wholeResult.Result) << "with " << count;
      ++shortCalls;
    }
  }
  EXPECT_GT(shortCalls, 0);
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
}

TEST_F(AddinCalls, GarbageInUnusedBytesChangesNoAnswer) {
  const auto methods = Create()->Methods();
  ASSERT_EQ(methods.size(), kMethodCount);
  for (const TMethodInfo& method : methods) {
    if (!Harmless(method)) continue;
    SCOPED_TRACE(ToUtf8(method.Name));
    // Texts that no setting accepts and numbers that name nothing: each
    // object answers from the same state.
    std::vector<TValue> params;
    for (TV8Long i = 0; i < method.ParamCount; ++i)
      params.push_back(i % 2 ? TValue::I4(-1) : TValue::Text16(u"harness"));
    TCallOptions garbage;
    garbage.GarbageInUnusedBytes = true;
    const TCallResult clean = Create()->CallAsFunc(method.Index, params);
    const TCallResult dirty = Create()->CallAsFunc(method.Index, params, garbage);
    EXPECT_EQ(clean.Ok, dirty.Ok);
    EXPECT_EQ(clean.Result, dirty.Result);
  }
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
}

TEST_F(AddinCalls, PropertiesWrittenFromRecordsWithGarbageKeepTheirValues) {
  auto component = Create();
  int checked = 0;
  for (const TPropInfo& prop : component->Props()) {
    if (!prop.Readable || !prop.Writable) continue;
    SCOPED_TRACE(ToUtf8(prop.Name));
    // A value that a misread record (wrong type, so 0 or an empty text)
    // cannot produce.
    const TValue current = component->GetPropVal(prop.Index).Result;
    TValue wanted;
    if (current.Type == VTYPE_I4) wanted = TValue::I4(current.Int == 42 ? 43 : 42);
    else if (current.Type == VTYPE_PWSTR) wanted = TValue::Text16(current.Text == u"3000" ? u"3001" : u"3000");
    else continue;
    // The platform's own record: the padding after the type word and the
    // union's spare bytes hold whatever was there before.
    TRecordArray record(1);
    record.Set(0, wanted, Host.Memory);
    record.FillUnusedBytes(0xFF);
    EXPECT_TRUE(component->Raw().SetPropVal(prop.Index, record.Data()));
    component->Collect(record);
    EXPECT_EQ(component->GetPropVal(prop.Index).Result, wanted);
    ++checked;
  }
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
  // Every setting: Transparency (a number), EPC1 to EPC8 and USER1 to USER8
  // (texts); LogEnabled, a Boolean, is the one writable property left out.
  EXPECT_EQ(checked, 17);
}
