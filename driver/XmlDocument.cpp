#include "driver/XmlDocument.h"

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

void TXmlDocument::SetAttribute(TXmlNode ANode, std::u16string_view AName, std::u16string_view AValue) {
  if (xmlSetProp(ANode, Chars(ToUtf8(AName)), Chars(ToUtf8(AValue))) == nullptr)
    throw Exception("Cannot set an XML attribute");
}

void TXmlDocument::SetAttribute(TXmlNode ANode, std::u16string_view AName, bool AValue) {
  SetAttribute(ANode, AName, XmlBool(AValue));
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
