// Loading an arbitrary settings template: the bytes go through what
// GetParameters does with the module's "Parameters" resource - parsed by
// TXmlDocument::Load (encoding from the byte-order mark or the declaration,
// whitespace between elements dropped) and serialised as the host receives
// the document. A template that does not parse must fail with Exception.
#include <cstddef>
#include <cstdint>
#include <span>

#include <libxml/xmlerror.h>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "driver/XmlDocument.h"

namespace {

// libxml2 writes some encoding complaints straight to stderr, past the
// parser's no-error option; hundreds of thousands of them would bury the
// fuzzer's own report.
void DropLibxmlMessage(void*, const char*, ...) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  xmlSetGenericErrorFunc(nullptr, DropLibxmlMessage);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  try {
    const TXmlDocument Document = TXmlDocument::Load(std::as_bytes(std::span(AData, ASize)));
    (void)Document.Text();
    (void)Document.Text(false);
    (void)Document.Root();
  } catch (const Exception&) {
    // The host is told "Cannot parse the XML document: ..." by GetParameters.
  }
  return 0;
}
