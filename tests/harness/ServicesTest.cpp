// The platform's services, called through their table as the add-in calls
// them.
#include <gtest/gtest.h>

#include "v8host/Services.h"

using namespace v8host;

TEST(HostServices, RecordsAddErrorAndExternalEventAndTellsListeners) {
  THostServices services;
  std::vector<std::u16string> heard;
  services.OnAddError = [&](const TAddErrorRecord& AError) { heard.push_back(AError.Description); };
  services.OnExternalEvent = [&](const TExternalEventRecord& AEvent) { heard.push_back(AEvent.Message); };

  void* self = services.Interface();
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::AddError, static_cast<unsigned short>(1006),
                                  u"Внешняя компонента", u"Ошибка", TV8Long(-2147467259L)));
  char16_t source[] = u"quorvel", message[] = u"RFID", data[] = u"{id}";
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::ExternalEvent, source, message, data));

  ASSERT_EQ(services.Errors().size(), 1u);
  EXPECT_EQ(services.Errors()[0].Code, 1006);
  EXPECT_EQ(services.Errors()[0].Source, u"Внешняя компонента");
  EXPECT_EQ(services.Errors()[0].Description, u"Ошибка");
  EXPECT_EQ(services.Errors()[0].SCode, TV8Long(-2147467259L));
  ASSERT_EQ(services.Events().size(), 1u);
  EXPECT_EQ(services.Events()[0].Source, u"quorvel");
  EXPECT_EQ(services.Events()[0].Data, u"{id}");
  EXPECT_EQ(heard, (std::vector<std::u16string>{u"Ошибка", u"RFID"}));

  // Null texts from the add-in are recorded as empty, not dereferenced.
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::AddError, static_cast<unsigned short>(0),
                                  static_cast<const char16_t*>(nullptr), static_cast<const char16_t*>(nullptr),
                                  TV8Long(0)));
  EXPECT_EQ(services.Errors().back().Description, u"");
}

TEST(HostServices, AnswersTheOtherOperationsInTheirSlots) {
  THostServices services;
  void* self = services.Interface();
  char16_t name[] = u"Profile";
  TV8Long code = 0;
  char16_t* descr = nullptr;
  EXPECT_FALSE(CallOperation<bool>(self, ServiceOps::Read, name, static_cast<TV8Variant*>(nullptr), &code, &descr));
  EXPECT_FALSE(CallOperation<bool>(self, ServiceOps::Write, name, static_cast<TV8Variant*>(nullptr)));
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::RegisterProfileAs, name));
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::SetEventBufferDepth, TV8Long(5)));
  EXPECT_EQ(CallOperation<TV8Long>(self, ServiceOps::GetEventBufferDepth), 5);
  CallOperation<void>(self, ServiceOps::CleanEventBuffer);
  EXPECT_TRUE(CallOperation<bool>(self, ServiceOps::SetStatusLine, name));
  EXPECT_EQ(services.StatusLine(), u"Profile");
  CallOperation<void>(self, ServiceOps::ResetStatusLine);
  EXPECT_EQ(services.StatusLine(), u"");
  EXPECT_EQ(CallOperation<void*>(self, ServiceOps::GetInterface, 1), nullptr);
  for (int op = ServiceOps::Read; op <= ServiceOps::GetInterface; ++op)
    EXPECT_EQ(services.CallCount(op), op == ServiceOps::ExternalEvent ? 0 : 1) << "operation " << op;
  EXPECT_EQ(services.CallCount(ServiceOps::AddError), 0);
}
