// The built add-in through the harness: its exports, and the objects of
// every class it registers.
#include <gtest/gtest.h>

#include <algorithm>

#include "AddinFixture.h"
#include "v8host/Text.h"

using namespace v8host;
using harness::Addin;

TEST(AddinExports, ClassNamesIsTheOneClassAndStaysPut) {
  const char16_t* names = Addin().GetClassNames();
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(std::u16string(names), u"quorvel");
  EXPECT_EQ(names, Addin().GetClassNames()) << "the text belongs to the library and stays put";
  EXPECT_EQ(Addin().ClassNames(), std::vector<std::u16string>{harness::kClassName});
}

TEST(AddinExports, GetClassObjectRefusesUnknownNamesAndLeavesTheReference) {
  std::vector<std::u16string> wrong = {u"", u"NoSuchClass", u"quorvel|quorvel"};
  for (const std::u16string& name : Addin().ClassNames()) {
    std::u16string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; });
    if (upper != name) wrong.push_back(upper);  // letter case counts
    wrong.push_back(name + u" ");
  }
  for (const std::u16string& name : wrong) {
    void* object = reinterpret_cast<void*>(0x5A5A5A5A);
    EXPECT_EQ(Addin().GetClassObject(name.c_str(), &object), 0) << ToUtf8(name);
    EXPECT_EQ(object, reinterpret_cast<void*>(0x5A5A5A5A)) << ToUtf8(name);
  }
}

TEST(AddinExports, DestroyObjectOfNullAnswersZero) {
  void* object = nullptr;
  EXPECT_EQ(Addin().DestroyObject(&object), 0);
  EXPECT_EQ(object, nullptr);
}

TEST(AddinExports, LoadsAndUnloadsAgain) {
  for (int i = 0; i < 2; ++i) {
    TAddinLibrary again = TAddinLibrary::Load(harness::AddinPath());
    EXPECT_EQ(again.ClassNames(), Addin().ClassNames());
  }
}

using AddinObject = harness::AddinObjectTest;

TEST_F(AddinObject, StartsAndFinishesTheWayThePlatformDrivesIt) {
  {
    auto component = Create();
    EXPECT_TRUE(component->SetMemManagerAnswer());
    EXPECT_TRUE(component->InitAnswer());
    EXPECT_TRUE(component->RegisterAnswer());
    ASSERT_TRUE(component->ExtensionName());
    EXPECT_FALSE(component->ExtensionName()->empty());
    EXPECT_EQ(component->Raw().GetInfo(), 2000);
  }
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
  EXPECT_TRUE(Host.Services.Errors().empty());
}

TEST_F(AddinObject, EveryMemberIsFoundByEitherNameAndNamesAreFreshBlocks) {
  auto component = Create();
  const auto methods = component->Methods();
  for (const TMethodInfo& method : methods) {
    SCOPED_TRACE(ToUtf8(method.Name));
    EXPECT_FALSE(method.Name.empty());
    EXPECT_FALSE(method.LocalName.empty());
    EXPECT_EQ(component->FindMethod(method.Name), method.Index);
    EXPECT_EQ(component->FindMethod(method.LocalName), method.Index);
    EXPECT_GE(method.ParamCount, 0);
    EXPECT_EQ(component->MethodName(method.Index, -1), method.LocalName) << "any alias but 0 is the local name";
  }
  for (const TPropInfo& prop : component->Props()) {
    SCOPED_TRACE(ToUtf8(prop.Name));
    EXPECT_EQ(component->FindProp(prop.Name), prop.Index);
    EXPECT_EQ(component->FindProp(prop.LocalName), prop.Index);
  }
  EXPECT_EQ(component->FindMethod(u"NoSuchMethod"), -1);
  EXPECT_EQ(component->FindProp(u"NoSuchProperty"), -1);
  // Each name was its own block, handed over and freed by the harness.
  EXPECT_GE(Host.Memory.Granted(), 2 * methods.size());
  EXPECT_EQ(Host.Memory.LiveBlocks(), 0u);
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
}

TEST_F(AddinObject, NamesAreNullWhenThePlatformRefusesMemory) {
  auto component = Create();
  ASSERT_GT(component->MethodCount(), 0);
  Host.Memory.RefuseAll();
  EXPECT_FALSE(component->MethodName(0, 0));
  char16_t* name = reinterpret_cast<char16_t*>(0x1);
  EXPECT_TRUE(component->Raw().RegisterExtensionAs(&name)) << "answers true with a null name";
  EXPECT_EQ(name, nullptr);
  Host.Memory.AcceptAll();
  EXPECT_TRUE(Host.Memory.Errors().empty()) << Host.Memory.ErrorReport();
}
