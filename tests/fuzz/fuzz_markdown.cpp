// Markdown conversion of arbitrary text. The first byte picks the way in:
// mostly the in-memory steps the renderer takes (decoding by byte-order
// mark, CommonMark to HTML, the page around the fragment), and now and then
// the whole TMarkdownRenderer::ConvertToHtml on a file written from the
// bytes, with and without a style sheet. Any failure must be an Exception.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "lib/MarkdownRenderer/uTextDecoding.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& APath, std::string_view ABytes) {
  std::ofstream File(APath, std::ios::binary | std::ios::trunc);
  File.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
}

// The files of one conversion, next to the temporary folder (which must
// stay as the renderer found it); removed again whatever happens.
struct TConversionFiles {
  fs::path Folder = fuzz::Sandbox().parent_path();
  fs::path Source = Folder / "source.md";
  fs::path Page = Folder / "page.html";
  fs::path StyleSheet = Folder / "style.css";
  ~TConversionFiles() {
    std::error_code Error;
    for (const fs::path& File : {Source, Page, StyleSheet}) fs::remove(File, Error);
  }
};

void ConvertFile(std::string_view ABytes, bool AWithStyleSheet) {
  const TConversionFiles Files;
  WriteFile(Files.Source, ABytes);
  WriteFile(Files.StyleSheet, "body { color: black; }");
  TMarkdownRenderer::ConvertToHtml(Files.Source.u16string(), Files.Page.u16string(),
                                   AWithStyleSheet ? Files.StyleSheet.u16string() : std::u16string());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  fuzz::TInput In(AData, ASize);
  const std::uint8_t Mode = In.Take<std::uint8_t>();
  const std::string_view Bytes = In.Rest();
  try {
    if (Mode < 0xF0) {
      const std::u16string Fragment = TMarkdownRenderer::MarkdownToHtml(DecodeTextBytes(Bytes));
      (void)TMarkdownRenderer::BuildHtmlDocument(Fragment, (Mode & 1) != 0 ? u"style.css" : u"");
    } else {
      ConvertFile(Bytes, (Mode & 1) != 0);
    }
  } catch (const Exception&) {
    // "Markdown conversion failed" and file errors are reported this way.
  }
  // The renderer's temporary folder is gone, whatever happened.
  if (!fuzz::SandboxIsClean()) std::abort();
  return 0;
}
