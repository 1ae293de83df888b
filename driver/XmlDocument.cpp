#include "driver/XmlDocument.h"

#include <algorithm>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "common/Exception.h"
#include "common/Text.h"

namespace {

const xmlChar* Chars(const std::string& AText) { return reinterpret_cast<const xmlChar*>(AText.c_str()); }

std::u16string LastXmlError(const char* AContext) {
  const xmlError* Error = xmlGetLastError();
  std::string Message = AContext;
  if (Error != nullptr && Error->message != nullptr) {
    Message += ": ";
    Message += Error->message;
    while (!Message.empty() && (Message.back() == '\n' || Message.back() == '\r')) Message.pop_back();
  }
  return ToUtf16(Message);
}

std::u16string JoinLinesCrLf(std::string_view AText) {
  std::string Out;
  Out.reserve(AText.size() + 8);
  std::size_t Start = 0;
  while (Start < AText.size()) {
    std::size_t End = AText.find('\n', Start);
    if (End == std::string_view::npos) End = AText.size();
    std::string_view Line = AText.substr(Start, End - Start);
    if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
    Out.append(Line);
    Out += "\r\n";
    Start = End + 1;
  }
  return ToUtf16(Out);
}

}  // namespace

TXmlDocument::TXmlDocument() : FDoc(xmlNewDoc(BAD_CAST "1.0")) {
  if (FDoc == nullptr) throw Exception("Cannot create an XML document");
}

TXmlDocument TXmlDocument::Load(std::span<const std::byte> ABytes) {
  xmlResetLastError();
  xmlDoc* Doc = xmlReadMemory(reinterpret_cast<const char*>(ABytes.data()), static_cast<int>(ABytes.size()),
                              nullptr, nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_NOERROR |
                                                    XML_PARSE_NOWARNING);
  if (Doc == nullptr) throw Exception(LastXmlError("Cannot parse the XML document"));
  return TXmlDocument(Doc);
}

TXmlDocument::~TXmlDocument() {
  if (FDoc != nullptr) xmlFreeDoc(FDoc);
}

TXmlDocument::TXmlDocument(TXmlDocument&& AOther) noexcept : FDoc(AOther.FDoc) { AOther.FDoc = nullptr; }

TXmlNode TXmlDocument::AddRoot(std::u16string_view AName) {
  xmlNode* Node = xmlNewDocNode(FDoc, nullptr, Chars(ToUtf8(AName)), nullptr);
  if (Node == nullptr) throw Exception("Cannot create an XML element");
  xmlDocSetRootElement(FDoc, Node);
  return Node;
}

TXmlNode TXmlDocument::Root() const { return xmlDocGetRootElement(FDoc); }

TXmlNode TXmlDocument::AddChild(TXmlNode AParent, std::u16string_view AName) {
  xmlNode* Node = xmlNewChild(AParent, nullptr, Chars(ToUtf8(AName)), nullptr);
  if (Node == nullptr) throw Exception("Cannot create an XML element");
  return Node;
}

namespace {

// XML 1.0 has no way to carry most control characters or the two
// non-characters U+FFFE and U+FFFF, not even as references; libxml2 would
// write them out raw and leave a document no parser accepts.
bool IsXmlChar(char16_t C) noexcept {
  if (C < 0x20) return C == u'\t' || C == u'\n' || C == u'\r';
  return C != 0xFFFE && C != 0xFFFF;
}

std::u16string CodePointText(char16_t C) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::u16string Text = u"U+";
  for (int Shift = 12; Shift >= 0; Shift -= 4) Text += static_cast<char16_t>(kHex[(C >> Shift) & 0xF]);
  return Text;
}

void CheckXmlText(std::u16string_view AName, std::u16string_view AValue) {
  const auto Bad = std::find_if_not(AValue.begin(), AValue.end(), IsXmlChar);
  if (Bad != AValue.end())
    throw Exception(u"Character not allowed in an XML document: " + CodePointText(*Bad) + u" in " +
                    std::u16string(AName));
}

}  // namespace

void TXmlDocument::SetAttribute(TXmlNode ANode, std::u16string_view AName, std::u16string_view AValue) {
  CheckXmlText(AName, AValue);
  if (xmlSetProp(ANode, Chars(ToUtf8(AName)), Chars(ToUtf8(AValue))) == nullptr)
    throw Exception("Cannot set an XML attribute");
}

void TXmlDocument::SetAttribute(TXmlNode ANode, std::u16string_view AName, bool AValue) {
  SetAttribute(ANode, AName, XmlBool(AValue));
}

std::u16string TXmlDocument::AttributeText(std::u16string_view AName, std::u16string_view AValue) {
  TXmlDocument Document;
  SetAttribute(Document.AddRoot(u"a"), AName, AValue);
  // <?xml version="1.0"?> CR LF <a NAME="VALUE"/> CR LF: the value is what
  // lies between the root's first quote and its closing quote.
  const std::u16string Text = Document.Text(false);
  const std::size_t Root = Text.find(u"<a ");
  const std::size_t First = Text.find(u'"', Root);
  const std::size_t Last = Text.rfind(u"\"/>");
  if (Root == std::u16string::npos || First == std::u16string::npos || Last == std::u16string::npos || Last <= First)
    throw Exception("Cannot serialise an XML attribute");
  return Text.substr(First + 1, Last - First - 1);
}

std::u16string TXmlDocument::Text(bool ADeclareEncoding) const {
  xmlChar* Buffer = nullptr;
  int Size = 0;
  if (ADeclareEncoding)
    xmlDocDumpFormatMemoryEnc(FDoc, &Buffer, &Size, "UTF-8", 0);
  else
    xmlDocDumpFormatMemory(FDoc, &Buffer, &Size, 0);
  if (Buffer == nullptr) throw Exception("Cannot serialise the XML document");
  const std::unique_ptr<xmlChar, void (*)(void*)> Owner(Buffer, [](void* P) { xmlFree(P); });
  return JoinLinesCrLf(std::string_view(reinterpret_cast<const char*>(Buffer), static_cast<std::size_t>(Size)));
}
