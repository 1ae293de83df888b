#pragma once
// A small RAII layer over libxml2 for the documents the driver hands to the
// host: build elements and attributes from UTF-16 texts, load a document
// from bytes, and serialise it as the host receives it.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;
using TXmlNode = _xmlNode*;

class TXmlDocument {
public:
  // A new, empty document with XML version 1.0.
  TXmlDocument();
  // Parses bytes, detecting the encoding from a byte-order mark or the
  // declaration; whitespace-only text between elements is dropped.
  static TXmlDocument Load(std::span<const std::byte> ABytes);
  ~TXmlDocument();
  TXmlDocument(TXmlDocument&& AOther) noexcept;
  TXmlDocument& operator=(TXmlDocument&&) = delete;
  TXmlDocument(const TXmlDocument&) = delete;

  TXmlNode AddRoot(std::u16string_view AName);
  TXmlNode Root() const;
  static TXmlNode AddChild(TXmlNode AParent, std::u16string_view AName);
  static void SetAttribute(TXmlNode ANode, std::u16string_view AName, std::u16string_view AValue);
  static void SetAttribute(TXmlNode ANode, std::u16string_view AName, bool AValue);
  // AValue as Text(false) writes it inside the quotes of an attribute
  // AName: markup characters, tabs, line breaks and non-ASCII characters
  // escaped by libxml2's own rules. Refuses what SetAttribute refuses.
  static std::u16string AttributeText(std::u16string_view AName, std::u16string_view AValue);

  // The serialisation without added indentation, its lines joined with
  // CR LF and a CR LF after the last. With ADeclareEncoding the declaration
  // names UTF-8 and texts stay as they are; without it the declaration
  // carries the version alone.
  std::u16string Text(bool ADeclareEncoding = true) const;

private:
  explicit TXmlDocument(_xmlDoc* ADoc) noexcept : FDoc(ADoc) {}
  _xmlDoc* FDoc;
};

// Booleans as the documents write them.
inline std::u16string_view XmlBool(bool AValue) { return AValue ? u"true" : u"false"; }
