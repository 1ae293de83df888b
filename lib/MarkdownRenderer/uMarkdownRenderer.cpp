#include "lib/MarkdownRenderer/uMarkdownRenderer.h"

#include <cmark.h>

#include <cstdlib>
#include <memory>

#include "common/Exception.h"
#include "common/Text.h"
#include "lib/MarkdownRenderer/uTextDecoding.h"
#include "lib/MarkdownRenderer/uZipExtract.h"
#include "lib/MarkdownRenderer/ufmDocView.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Guid.h"
#include "platform/Resources.h"

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
  const std::u16string folder = platform::JoinPath(platform::TempFolder(), platform::NewGuidText());
  // Whatever the system's reason, the error names the folder.
  try {
    platform::CreateFolderTree(folder);
  } catch (const Exception&) {
  }
  if (!platform::FolderExists(folder))
    throw Exception(u"Cannot create folder: " + folder);
  return folder;
}

using platform::FileExists;

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
  platform::RemoveFolderTree(FTempDirectory);
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
  TMarkdownRenderer renderer(platform::AbsolutePath(ASource));
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
  return platform::JoinPath(FTempDirectory, AName);
}

void TMarkdownRenderer::ExtractSourceArchive() const {
  const auto resource = platform::FindRawResource(FSourceName);
  if (!resource)
    throw Exception(u"File not found: " + FSourceName);
  platform::TFileWriter file(TempFilePath(ArchiveFileName));
  file.Write(std::string_view(reinterpret_cast<const char*>(resource->data()), resource->size()));
  file.Close();
}

void TMarkdownRenderer::UnpackArchive() const {
  ExtractZipArchive(TempFilePath(ArchiveFileName), FTempDirectory);
}

std::u16string TMarkdownRenderer::FindTempFile(const std::u16string& AExtension) const {
  CheckPathPart(AExtension);
  const std::u16string suffix = u"." + AExtension;
  // The folder's order is the file system's own; the smallest name stands
  // in for "the first one found", the same on every file system.
  const auto entries = platform::ListFolder(FTempDirectory);
  if (!entries)
    throw Exception(u"Cannot read folder: " + FTempDirectory);
  std::u16string found;
  for (const platform::TFolderEntry& entry : *entries) {
    const std::u16string& name = entry.Name;
    if (name.size() >= suffix.size() && EndsWithIgnoreCase(name, suffix) && !entry.Folder &&
        (found.empty() || name < found))
      found = name;
  }
  return found;
}

std::u16string TMarkdownRenderer::ReadTextFile(const std::u16string& AFileName) const {
  const std::u16string path = platform::IsAbsolutePath(AFileName) ? AFileName : TempFilePath(AFileName);
  return DecodeTextBytes(platform::ReadWholeFile(path));
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
  platform::TFileWriter file(path);
  file.Write("\xEF\xBB\xBF");
  file.Write(document);
  file.Close();
  return path;
}

std::u16string TMarkdownRenderer::BuildHtmlDocument(const std::u16string& AFragment, const std::u16string& AStyleSheet) {
  if (AStyleSheet.empty())
    return AFragment;
  return u"<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"" + AStyleSheet +
         u"\" rel=\"stylesheet\">\r\n</head>\r\n<body>\r\n" + AFragment + u"\r\n</body>\r\n</html>";
}
