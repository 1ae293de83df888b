// The tag table is written without libxml2's tree, yet must read exactly as
// the document libxml2 serialises: the same bytes for plain hexadecimal
// values and for every value that needs escaping.
#include <gtest/gtest.h>

#include <array>

#include "common/Exception.h"
#include "common/Text.h"
#include "driver/XmlDocument.h"
#include "rfid/TagTable.h"

namespace {

using TRow = std::array<std::u16string, 3>;

// The same table built as a libxml2 tree and serialised by libxml2.
std::u16string LibxmlTable(const std::vector<TRow>& ARows) {
  TXmlDocument Document;
  TXmlNode Table = Document.AddRoot(u"Table");
  for (const TRow& Row : ARows) {
    TXmlNode Tag = TXmlDocument::AddChild(Table, u"Tag");
    TXmlDocument::SetAttribute(Tag, u"TID", Row[0]);
    TXmlDocument::SetAttribute(Tag, u"EPC", Row[1]);
    TXmlDocument::SetAttribute(Tag, u"USER", Row[2]);
  }
  return Document.Text(false);
}

std::u16string WrittenTable(const std::vector<TRow>& ARows) {
  TTagTable Table;
  for (const TRow& Row : ARows) Table.Add(Row[0], Row[1], Row[2]);
  return Table.Text();
}

TEST(TagTable, EmptyAndDefaultTablesReadAsTheDocumentFormatGivesThem) {
  EXPECT_EQ(WrittenTable({}), u"<?xml version=\"1.0\"?>\r\n<Table/>\r\n");
  EXPECT_EQ(WrittenTable({{u"E28011002000589616B408A1", u"3074367C34001E880A6D6168", u"0145FF20AA"},
                          {u"E28011002000589616B408A2", u"30751BD15C35BC0508B59F22", u"AA53EE150D"}}),
            u"<?xml version=\"1.0\"?>\r\n"
            u"<Table><Tag TID=\"E28011002000589616B408A1\" EPC=\"3074367C34001E880A6D6168\" USER=\"0145FF20AA\"/>"
            u"<Tag TID=\"E28011002000589616B408A2\" EPC=\"30751BD15C35BC0508B59F22\" USER=\"AA53EE150D\"/></Table>\r\n");
}

TEST(TagTable, EveryValueReadsAsLibxml2WritesIt) {
  const std::vector<TRow> Rows = {
      {u"E2801190", u"", u""},
      {u"a&b<c>d\"e'f", u"tab\there", u"CR\rLF\nend"},
      {u"Метка №1", u"\U0001F600 emoji", u" spaced  out "},
      {u"e28011002000589616b408a1", u"=\"/>", u"&amp;&#10;"},
  };
  EXPECT_EQ(WrittenTable(Rows), LibxmlTable(Rows));
}

TEST(TagTable, AValueXmlCannotCarryIsRefusedAndLeavesTheTableAsItWas) {
  TTagTable Table;
  Table.Add(u"E2801190", u"30", u"");
  EXPECT_THROW(Table.Add(u"E2801191", u"30\u0001", u""), Exception);
  EXPECT_THROW(Table.Add(u"E2801192", u"", u"AB\uFFFE"), Exception);
  EXPECT_EQ(Table.Count(), 1u);
  EXPECT_EQ(Table.Text(), LibxmlTable({{u"E2801190", u"30", u""}}));
}

}  // namespace
