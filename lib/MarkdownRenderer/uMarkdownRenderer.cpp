#include "lib/MarkdownRenderer/uMarkdownRenderer.h"

#include <cmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "common/Exception.h"
#include "common/Text.h"
#include "lib/MarkdownRenderer/uPaths.h"
#include "lib/MarkdownRenderer/uTextDecoding.h"
#include "lib/MarkdownRenderer/uZipExtract.h"
#include "lib/MarkdownRenderer/ufmDocView.h"
#include "platform/Guid.h"
#include "platform/Resources.h"
#include "platform/TextFile.h"

namespace fs = std::filesystem;

namespace {

constexpr char16_t ArchiveFileName[] = u"md.zip";
constexpr char16_t PageFileName[] = u"md.html";

void ShowDocView(const std::u16string& AHtmlFilePath, const std::u16string& ACaption) {
  TfrmDocView view(AHtmlFilePath, ACaption);
  view.ShowModal();
}

TMarkdownRenderer::TDocViewer& DocViewer() {
  static TMarkdownRenderer::TDocViewer viewer = ShowDocView;
  return viewer;
}

// The user's temporary folder followed by a new GUID, created with any
// missing parents.
std::u16string CreateTempDirectory() {
  const fs::path folder = fs::temp_directory_path() / ToPath(platform::NewGuidText());
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder))
    throw Exception(u"Cannot create folder: " + FromPath(folder));
  return FromPath(folder);
}

bool FileExists(const std::u16string& APath) {
  std::error_code error;
  return !APath.empty() && fs::exists(ToPath(APath), error) && !fs::is_directory(ToPath(APath), error);
}

// Characters that no file name or mask part may hold.
void CheckPathPart(const std::u16string& APart) {
  for (const char16_t c : APart)
    if (c < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(c) != std::u16string_view::npos)
      throw Exception(u"Illegal characters in path: " + APart);
}

bool EndsWithIgnoreCase(std::u16string_view AText, std::u16string_view ASuffix) noexcept {
  return AText.size() >= ASuffix.size() && SameTextIgnoreCase(AText.substr(AText.size() - ASuffix.size()), ASuffix);
}

struct TFreeDeleter {
  void operator()(char* AText) const noexcept { std::free(AText); }
};

}  // namespace

TMarkdownRenderer::TMarkdownRenderer() : FTempDirectory(CreateTempDirectory()) {}

TMarkdownRenderer::TMarkdownRenderer(std::u16string ASourceName) : TMarkdownRenderer() {
  FSourceName = std::move(ASourceName);
}

TMarkdownRenderer::~TMarkdownRenderer() {
  // A file still held open by another program keeps its part of the folder;
  // the rest goes, and the destructor never throws.
  std::error_code error;
  fs::remove_all(ToPath(FTempDirectory), error);
}

TMarkdownRenderer::TDocViewer TMarkdownRenderer::SetDocViewer(TDocViewer AViewer) {
  TDocViewer previous = std::move(DocViewer());
  DocViewer() = AViewer ? std::move(AViewer) : TDocViewer(ShowDocView);
  return previous;
}

// --- Class operations ---------------------------------------------------------

void TMarkdownRenderer::Render(const std::u16string& ASourceName, const std::u16string& ACaption) {
  if (!SourceExist(ASourceName))
    throw Exception(u"File not found: " + ASourceName);
  TMarkdownRenderer renderer(ASourceName);
  renderer.Render(ACaption);
}

void TMarkdownRenderer::ConvertToHtml(const std::u16string& ASource, const std::u16string& ADestination,
                                      const std::u16string& ACss) {
  if (!FileExists(ASource))
    throw Exception(u"File not found: " + ASource);
  if (!ACss.empty() && !FileExists(ACss))
    throw Exception(u"File not found: " + ACss);
  // The existence check above resolves a relative source against the
  // current folder, so the renderer gets it in that same, absolute form
  // (a relative name would otherwise be looked for in its temporary folder).
  TMarkdownRenderer renderer(FromPath(fs::absolute(ToPath(ASource))));
  renderer.ConvertToHtml(ADestination, ACss);
}

bool TMarkdownRenderer::SourceExist(const std::u16string& ASourceName) {
  return !ASourceName.empty() && platform::FindRawResource(ASourceName).has_value();
}

// --- Instance operations ------------------------------------------------------

bool TMarkdownRenderer::SourceExist() const { return SourceExist(FSourceName); }

std::u16string TMarkdownRenderer::Render(const std::u16string& ACaption) {
  if (!SourceExist())
    throw Exception(u"File not found: " + FSourceName);
  ExtractSourceArchive();
  UnpackArchive();
  return RenderTempFolder(ACaption);
}

std::u16string TMarkdownRenderer::RenderTempFolder(const std::u16string& ACaption) const {
  const std::u16string markdownFile = FindTempFile(u"md");
  if (markdownFile.empty())
    throw Exception(std::u16string(u"Mardown file not found"));
  const std::u16string text = ReadTextFile(markdownFile);
  const std::u16string styleSheet = FindTempFile(u"css");
  const std::u16string page = SaveHtml(MarkdownToHtml(text), styleSheet, u"");
  // The page links the style sheet by a relative name, so the folder must
  // stay in place until the window is closed.
  DocViewer()(page, ACaption);
  return page;
}

void TMarkdownRenderer::ConvertToHtml(const std::u16string& ADestination, const std::u16string& ACss) {
  SaveHtml(MarkdownToHtml(ReadTextFile(FSourceName)), ACss, ADestination);
}

std::u16string TMarkdownRenderer::TempFilePath(const std::u16string& AName) const {
  return FromPath(ToPath(FTempDirectory) / ToPath(AName));
}

void TMarkdownRenderer::ExtractSourceArchive() const {
  const auto resource = platform::FindRawResource(FSourceName);
  if (!resource)
    throw Exception(u"File not found: " + FSourceName);
  const std::u16string path = TempFilePath(ArchiveFileName);
  std::ofstream file(ToPath(path), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(resource->data()), static_cast<std::streamsize>(resource->size()));
  file.close();
  if (!file)
    throw Exception(u"Cannot write file: " + path);
}

void TMarkdownRenderer::UnpackArchive() const {
  ExtractZipArchive(ToPath(TempFilePath(ArchiveFileName)), ToPath(FTempDirectory));
}

std::u16string TMarkdownRenderer::FindTempFile(const std::u16string& AExtension) const {
  CheckPathPart(AExtension);
  const std::u16string suffix = u"." + AExtension;
  // The folder's order is the file system's own; the smallest name stands
  // in for "the first one found", the same on every file system.
  std::u16string found;
  for (const auto& entry : fs::directory_iterator(ToPath(FTempDirectory))) {
    const std::u16string name = FromPath(entry.path().filename());
    if (name.size() >= suffix.size() && EndsWithIgnoreCase(name, suffix) && !entry.is_directory() &&
        (found.empty() || name < found))
      found = name;
  }
  return found;
}

std::u16string TMarkdownRenderer::ReadTextFile(const std::u16string& AFileName) const {
  const fs::path path = ToPath(AFileName).is_absolute() ? ToPath(AFileName) : ToPath(TempFilePath(AFileName));
  // Nobody may write the file while it is read.
  return DecodeTextBytes(platform::ReadFileDenyWrite(FromPath(path)));
}

std::u16string TMarkdownRenderer::MarkdownToHtml(const std::u16string& AText) {
  const std::string source = ToUtf8(AText);
  const std::unique_ptr<char, TFreeDeleter> html(cmark_markdown_to_html(source.data(), source.size(), CMARK_OPT_DEFAULT));
  if (!html)
    throw Exception(std::u16string(u"Markdown conversion failed"));
  return ToUtf16(html.get());
}

std::u16string TMarkdownRenderer::SaveHtml(const std::u16string& AFragment, const std::u16string& AStyleSheet,
                                           const std::u16string& ADestination) const {
  const std::u16string path = ADestination.empty() ? TempFilePath(PageFileName) : ADestination;
  const std::string document = ToUtf8(BuildHtmlDocument(AFragment, AStyleSheet));
  std::ofstream file(ToPath(path), std::ios::binary | std::ios::trunc);
  if (!file)
    throw Exception(u"Cannot create file: " + path);
  file.write("\xEF\xBB\xBF", 3);
  file.write(document.data(), static_cast<std::streamsize>(document.size()));
  file.close();
  if (!file)
    throw Exception(u"Cannot write file: " + path);
  return path;
}

std::u16string TMarkdownRenderer::BuildHtmlDocument(const std::u16string& AFragment, const std::u16string& AStyleSheet) {
  if (AStyleSheet.empty())
    return AFragment;
  return u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"" + AStyleSheet +
         u"\" rel=\"stylesheet\">\r\n</head>\r\n<body>\r\n" + AFragment + u"\r\n</body>\r\n</html>";
}
