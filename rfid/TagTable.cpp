#include "rfid/TagTable.h"

#include <algorithm>

#include "driver/XmlDocument.h"

namespace {

constexpr std::u16string_view kHead = u"<?xml version=\"1.0\"?>\r\n<Table";

bool IsAsciiAlnum(char16_t C) noexcept {
  return (C >= u'0' && C <= u'9') || (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z');
}

}  // namespace

TTagTable::TTagTable() : FText(kHead) {}

void TTagTable::AddAttribute(std::u16string_view AName, std::u16string_view AValue) {
  FText += u' ';
  FText += AName;
  FText += u"=\"";
  if (std::all_of(AValue.begin(), AValue.end(), IsAsciiAlnum))
    FText += AValue;
  else
    FText += TXmlDocument::AttributeText(AName, AValue);
  FText += u'"';
}

void TTagTable::Add(std::u16string_view ATID, std::u16string_view AEPC, std::u16string_view AUser) {
  // A refused value leaves the table as it was.
  const std::size_t Mark = FText.size();
  try {
    FText += FCount == 0 ? u"><Tag" : u"<Tag";
    AddAttribute(u"TID", ATID);
    AddAttribute(u"EPC", AEPC);
    AddAttribute(u"USER", AUser);
    FText += u"/>";
  } catch (...) {
    FText.resize(Mark);
    throw;
  }
  ++FCount;
}

std::u16string TTagTable::Text() {
  FText += FCount == 0 ? u"/>\r\n" : u"</Table>\r\n";
  std::u16string Result = std::move(FText);
  FText = kHead;
  FCount = 0;
  return Result;
}
