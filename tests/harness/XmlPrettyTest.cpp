// The XML indentation of the v8host tool's --pretty output.
#include <gtest/gtest.h>

#include "v8host/XmlPretty.h"

using namespace v8host;

TEST(XmlPretty, NestsElementsAndKeepsTextElementsOnOneLine) {
  const auto pretty = PrettyXml(
      "<?xml version=\"1.0\"?>\r\n<Table><Tag TID=\"E2801160\"><EPC>3074</EPC><USER></USER></Tag><Tag/></Table>\r\n");
  ASSERT_TRUE(pretty);
  EXPECT_EQ(*pretty,
            "<?xml version=\"1.0\"?>\n"
            "<Table>\n"
            "  <Tag TID=\"E2801160\">\n"
            "    <EPC>3074</EPC>\n"
            "    <USER></USER>\n"
            "  </Tag>\n"
            "  <Tag/>\n"
            "</Table>\n");
}

TEST(XmlPretty, LongStartTagsPutOneAttributePerLine) {
  const std::string description =
      "<DriverDescription Name=\"Драйвер эмулятор RFID-считывателя\" Description=\"Описание a > b\" "
      "EquipmentType=\"СчитывательRFID\" LogPath=\"C:\\ProgramData\\\"/>";
  const auto pretty = PrettyXml(description);
  ASSERT_TRUE(pretty);
  EXPECT_EQ(*pretty,
            "<DriverDescription\n"
            "    Name=\"Драйвер эмулятор RFID-считывателя\"\n"
            "    Description=\"Описание a > b\"\n"
            "    EquipmentType=\"СчитывательRFID\"\n"
            "    LogPath=\"C:\\ProgramData\\\"/>\n")
      << "a '>' inside a quoted value does not end the tag";
  // Width is counted in characters: this Cyrillic tag is short enough.
  const auto shortTag = PrettyXml("<Group Caption=\"Общие настройки для всех меток\" Name=\"Общие\"></Group>");
  ASSERT_TRUE(shortTag);
  EXPECT_EQ(*shortTag, "<Group Caption=\"Общие настройки для всех меток\" Name=\"Общие\"></Group>\n");
}

TEST(XmlPretty, CommentsAndCdataStayWhole) {
  const auto pretty = PrettyXml("<a><!-- <b> --><c><![CDATA[<x></y>]]></c></a>");
  ASSERT_TRUE(pretty);
  EXPECT_EQ(*pretty, "<a>\n  <!-- <b> -->\n  <c><![CDATA[<x></y>]]></c>\n</a>\n");
}

TEST(XmlPretty, AnythingNotWellNestedIsLeftAlone) {
  for (const char* text : {"<a><b></a></b>", "<a>", "</a>", "<a attr=\"x>", "<!-- open", "plain text", "", "< >",
                           "<a></a> tail <"}) {
    EXPECT_FALSE(PrettyXml(text)) << text;
  }
  EXPECT_TRUE(LooksLikeXml("  <Table/>\r\n"));
  EXPECT_FALSE(LooksLikeXml("3002"));
  EXPECT_FALSE(LooksLikeXml("<a> and more"));
}
