// Loading an arbitrary settings template: the bytes go through what
// GetParameters does with the module's "Parameters" resource - parsed by
// TXmlDocument::Load (encoding from the byte-order mark or the declaration,
// whitespace between elements dropped) and serialised as the host receives
// the document. A template that does not parse must fail with Exception; one
// that does must give a document that parses again as well-formed XML, with
// the same root element, and that loads again into the same document
// (whitespace aside).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "common/Text.h"
#include "driver/XmlDocument.h"

namespace {

// libxml2 writes some encoding complaints straight to stderr, past the
// parser's no-error option; hundreds of thousands of them would bury the
// fuzzer's own report.
void DropLibxmlMessage(void*, const char*, ...) {}

// The host's document, as UTF-8 again, parsed by libxml2 alone.
void RequireWellFormed(const std::u16string& AText, const TXmlNode ARoot) {
  const std::string Bytes = ToUtf8(AText);
  xmlDoc* Again = xmlReadMemory(Bytes.data(), static_cast<int>(Bytes.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (Again == nullptr) {
    std::fprintf(stderr, "the serialised document is not well-formed XML:\n%s\n", Bytes.c_str());
    std::abort();
  }
  const xmlNode* Root = xmlDocGetRootElement(Again);
  const bool SameRoot = Root != nullptr && ARoot != nullptr &&
                        std::strcmp(reinterpret_cast<const char*>(Root->name),
                                    reinterpret_cast<const char*>(ARoot->name)) == 0;
  xmlFreeDoc(Again);
  if (!SameRoot) {
    std::fprintf(stderr, "the serialised document has another root element:\n%s\n", Bytes.c_str());
    std::abort();
  }
}

// A document that was loaded and serialised once is loaded and serialised
// again to the same text.
void RequireStable(const std::u16string& AText) {
  const std::string Bytes = ToUtf8(AText);
  std::u16string Again;
  try {
    Again = TXmlDocument::Load(std::as_bytes(std::span(Bytes.data(), Bytes.size()))).Text();
  } catch (const Exception& E) {
    std::fprintf(stderr, "the serialised document does not load again (%s):\n%s\n", E.what(), Bytes.c_str());
    std::abort();
  }
  // The loader drops blank text the way libxml2 judges blanks, which may
  // take a text's leading blanks only on the second pass: whitespace aside,
  // nothing may change.
  const auto WithoutBlanks = [](std::u16string AValue) {
    std::erase_if(AValue, [](char16_t C) { return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n'; });
    return AValue;
  };
  if (WithoutBlanks(Again) != WithoutBlanks(AText)) {
    std::fprintf(stderr, "loading the serialised document changes it:\n%s\n---\n%s\n", Bytes.c_str(),
                 ToUtf8(Again).c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  xmlSetGenericErrorFunc(nullptr, DropLibxmlMessage);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  try {
    const TXmlDocument Document = TXmlDocument::Load(std::as_bytes(std::span(AData, ASize)));
    const std::u16string Text = Document.Text();
    RequireWellFormed(Text, Document.Root());
    (void)Document.Text(false);
    RequireStable(Text);
  } catch (const Exception&) {
    // The host is told "Cannot parse the XML document: ..." by GetParameters.
  }
  return 0;
}
