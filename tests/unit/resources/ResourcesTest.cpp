// The resources that the module carries: the raw-data resources looked up by
// name without regard to letter case, the settings template and the strings.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Resources.h"

namespace {

std::string Bytes(std::span<const std::byte> AData) {
  return std::string(reinterpret_cast<const char*>(AData.data()), AData.size());
}

TEST(RawResources, AreFoundByNameInAnyLetterCase) {
  for (const char16_t* name : {u"PARAMETERS", u"Parameters", u"parameters", u"pArAmEtErS"}) {
    const auto resource = platform::FindRawResource(name);
    ASSERT_TRUE(resource.has_value()) << "Parameters in another case";
    EXPECT_FALSE(resource->empty());
  }
  for (const char16_t* name : {u"HELP", u"help", u"Help"})
    EXPECT_TRUE(platform::FindRawResource(name).has_value());
}

TEST(RawResources, UnknownAndEmptyNamesAreNotFound) {
  EXPECT_FALSE(platform::FindRawResource(u"").has_value());
  EXPECT_FALSE(platform::FindRawResource(u"HELPX").has_value());
  EXPECT_FALSE(platform::FindRawResource(u"HEL").has_value());
  EXPECT_FALSE(platform::FindRawResource(u"#10").has_value());
}

TEST(RawResources, HelpIsAZipArchive) {
  const auto help = platform::FindRawResource(u"help");
  ASSERT_TRUE(help.has_value());
  EXPECT_EQ(Bytes(*help).substr(0, 4), std::string("PK\x03\x04", 4));
}

TEST(StringResources, CarryTheCaptions) {
  EXPECT_EQ(platform::LoadStringResource(65088), u"Справка");
  EXPECT_EQ(platform::LoadStringResource(65119), u"Параметры");
  EXPECT_EQ(platform::LoadStringResource(65087), u"");
  EXPECT_EQ(platform::LoadStringResource(1), u"");
}

// --- The settings template ---------------------------------------------------

struct TXmlDocDeleter {
  void operator()(xmlDoc* ADoc) const noexcept { xmlFreeDoc(ADoc); }
};

std::string Attr(xmlNode* ANode, const char* AName) {
  xmlChar* value = xmlGetProp(ANode, reinterpret_cast<const xmlChar*>(AName));
  std::string result = value ? reinterpret_cast<const char*>(value) : "<missing>";
  xmlFree(value);
  return result;
}

std::vector<std::string> AttrNames(xmlNode* ANode) {
  std::vector<std::string> names;
  for (xmlAttr* attr = ANode->properties; attr; attr = attr->next)
    names.emplace_back(reinterpret_cast<const char*>(attr->name));
  return names;
}

std::vector<xmlNode*> Children(xmlNode* ANode, const char* AName) {
  std::vector<xmlNode*> result;
  for (xmlNode* child = ANode->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) {
      EXPECT_STREQ(reinterpret_cast<const char*>(child->name), AName);
      result.push_back(child);
    }
  return result;
}

TEST(SettingsTemplate, IsUtf8WithByteOrderMarkAndDeclaration) {
  const auto resource = platform::FindRawResource(u"Parameters");
  ASSERT_TRUE(resource.has_value());
  const std::string text = Bytes(*resource);
  EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(text.substr(3, 38), R"(<?xml version="1.0" encoding="UTF-8"?>)");
}

TEST(SettingsTemplate, HoldsNineGroupsOfParametersInOrder) {
  const auto resource = platform::FindRawResource(u"Parameters");
  ASSERT_TRUE(resource.has_value());
  std::unique_ptr<xmlDoc, TXmlDocDeleter> doc(xmlReadMemory(
      reinterpret_cast<const char*>(resource->data()), static_cast<int>(resource->size()), nullptr, nullptr,
      XML_PARSE_NONET | XML_PARSE_NOBLANKS));
  ASSERT_TRUE(doc);
  xmlNode* root = xmlDocGetRootElement(doc.get());
  ASSERT_STREQ(reinterpret_cast<const char*>(root->name), "Settings");
  const auto pages = Children(root, "Page");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(Attr(pages[0], "Caption"), "Настройки");

  const auto groups = Children(pages[0], "Group");
  ASSERT_EQ(groups.size(), 9u);
  const std::vector<std::string> order = {"Name", "Caption", "TypeValue", "DefaultValue"};
  for (int n = 1; n <= 8; ++n) {
    xmlNode* group = groups[n - 1];
    EXPECT_EQ(Attr(group, "Caption"), "Данные RFID " + std::to_string(n));
    const auto parameters = Children(group, "Parameter");
    ASSERT_EQ(parameters.size(), 2u);
    const std::string epc = "EPC" + std::to_string(n), user = "USER" + std::to_string(n);
    EXPECT_EQ(Attr(parameters[0], "Name"), epc);
    EXPECT_EQ(Attr(parameters[0], "Caption"), epc);
    EXPECT_EQ(Attr(parameters[1], "Name"), user);
    EXPECT_EQ(Attr(parameters[1], "Caption"), user);
    for (xmlNode* parameter : parameters) {
      EXPECT_EQ(AttrNames(parameter), order);
      EXPECT_EQ(Attr(parameter, "TypeValue"), "String");
      EXPECT_EQ(parameter->children, nullptr);
    }
    const char* epcDefault = n == 1 ? "3074367C34001E880A6D6168" : n == 2 ? "30751BD15C35BC0508B59F22" : "";
    const char* userDefault = n == 1 ? "0145FF20AA" : n == 2 ? "AA53EE150D" : "";
    EXPECT_EQ(Attr(parameters[0], "DefaultValue"), epcDefault) << epc;
    EXPECT_EQ(Attr(parameters[1], "DefaultValue"), userDefault) << user;
  }

  xmlNode* general = groups[8];
  EXPECT_EQ(Attr(general, "Caption"), "Общие настройки");
  const auto parameters = Children(general, "Parameter");
  ASSERT_EQ(parameters.size(), 2u);
  EXPECT_EQ(AttrNames(parameters[0]), order);
  EXPECT_EQ(Attr(parameters[0], "Name"), "Transparency");
  EXPECT_EQ(Attr(parameters[0], "Caption"), "Прозрачность");
  EXPECT_EQ(Attr(parameters[0], "TypeValue"), "Number");
  EXPECT_EQ(Attr(parameters[0], "DefaultValue"), "20");
  EXPECT_EQ(AttrNames(parameters[1]), order);
  EXPECT_EQ(Attr(parameters[1], "Name"), "LogEnabled");
  EXPECT_EQ(Attr(parameters[1], "Caption"), "Вести лог");
  EXPECT_EQ(Attr(parameters[1], "TypeValue"), "Boolean");
  EXPECT_EQ(Attr(parameters[1], "DefaultValue"), "true");
  EXPECT_EQ(parameters[1]->children, nullptr);

  const auto choiceLists = Children(parameters[0], "ChoiceList");
  ASSERT_EQ(choiceLists.size(), 1u);
  const auto items = Children(choiceLists[0], "Item");
  ASSERT_EQ(items.size(), 25u);
  for (int i = 1; i <= 25; ++i) {
    EXPECT_EQ(AttrNames(items[i - 1]), std::vector<std::string>{"Value"});
    EXPECT_EQ(Attr(items[i - 1], "Value"), std::to_string(i));
    xmlChar* content = xmlNodeGetContent(items[i - 1]);
    EXPECT_STREQ(reinterpret_cast<const char*>(content), std::to_string(i).c_str());
    xmlFree(content);
  }
}

}  // namespace
