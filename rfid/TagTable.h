#pragma once
// The tag table document that GetDataTagsRFID hands to the platform:
//   <?xml version="1.0"?>CR LF<Table><Tag TID=".." EPC=".." USER=".."/>...</Table>CR LF
// written straight into UTF-16, one row per tag, so that a table of
// thousands of tags costs no element, attribute or heap block per value.
// The text is the one libxml2 serialises for the same document, byte for
// byte: values of letters and digits (every TID, EPC and USER a tag
// carries) are copied as they are; any other value is escaped by libxml2
// itself, and a character that XML cannot carry refuses the table.
#include <cstddef>
#include <string>
#include <string_view>

class TTagTable {
public:
  TTagTable();

  void Add(std::u16string_view ATID, std::u16string_view AEPC, std::u16string_view AUser);
  std::size_t Count() const noexcept { return FCount; }
  // The whole document; the table is empty again afterwards.
  std::u16string Text();

private:
  void AddAttribute(std::u16string_view AName, std::u16string_view AValue);

  std::u16string FText;
  std::size_t FCount = 0;
};
