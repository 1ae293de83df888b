#pragma once
// The help renderer: unpacks a Markdown document and its style sheet from a
// ZIP resource of the module into a private temporary folder, converts the
// text to an HTML page that links the style sheet and shows the page in a
// modal browser window. The folder lives exactly as long as the renderer.
#include <functional>
#include <string>

class TMarkdownRenderer {
public:
  // Shows a page: the path of the HTML file and the window caption. The
  // default shows TfrmDocView modally; tests put their own in its place.
  using TDocViewer = std::function<void(const std::u16string& AHtmlFilePath, const std::u16string& ACaption)>;

  // Both create the temporary folder; the second also names the source.
  TMarkdownRenderer();
  explicit TMarkdownRenderer(std::u16string ASourceName);
  // Deletes the temporary folder and everything in it.
  ~TMarkdownRenderer();

  TMarkdownRenderer(const TMarkdownRenderer&) = delete;
  TMarkdownRenderer& operator=(const TMarkdownRenderer&) = delete;

  // Renders and shows the resource ASourceName; the renderer (and its
  // folder) is gone when this returns, also after a failure.
  static void Render(const std::u16string& ASourceName, const std::u16string& ACaption);
  // Unpacks, converts and shows SourceName; returns the page's path.
  std::u16string Render(const std::u16string& ACaption);

  // Converts the Markdown file ASource into the page ADestination linking
  // the style sheet ACss (no frame at all when ACss is empty).
  static void ConvertToHtml(const std::u16string& ASource, const std::u16string& ADestination,
                            const std::u16string& ACss);
  void ConvertToHtml(const std::u16string& ADestination, const std::u16string& ACss);

  // True when the module holds a raw-data resource of that name.
  static bool SourceExist(const std::u16string& ASourceName);
  bool SourceExist() const;

  const std::u16string& SourceName() const noexcept { return FSourceName; }
  // The private folder, without a trailing delimiter.
  const std::u16string& TempDirectory() const noexcept { return FTempDirectory; }

  // The steps of Render: save the resource's bytes as "md.zip" in the
  // temporary folder; extract that archive there (an entry whose path would
  // leave the folder fails the whole archive); convert the first Markdown
  // file found there and show it, returning the page's path.
  void ExtractSourceArchive() const;
  void UnpackArchive() const;
  std::u16string RenderTempFolder(const std::u16string& ACaption) const;

  // Name (without folder) of the first top-level entry of the temporary
  // folder that matches "*.<AExtension>"; empty when there is none.
  std::u16string FindTempFile(const std::u16string& AExtension) const;
  // Reads a text file (an absolute path, or a name inside the temporary
  // folder), decoded by its byte-order mark; UTF-8 without one.
  std::u16string ReadTextFile(const std::u16string& AFileName) const;
  // CommonMark to an HTML fragment, with the converter's default options.
  static std::u16string MarkdownToHtml(const std::u16string& AText);
  // Writes the page (UTF-8 with byte-order mark) to ADestination, or to
  // "md.html" in the temporary folder when it is empty; returns its path.
  std::u16string SaveHtml(const std::u16string& AFragment, const std::u16string& AStyleSheet,
                          const std::u16string& ADestination) const;
  // The fragment framed as a page that links AStyleSheet; the bare
  // fragment when AStyleSheet is empty.
  static std::u16string BuildHtmlDocument(const std::u16string& AFragment, const std::u16string& AStyleSheet);

  // Replaces the step that shows the page (an empty function restores the
  // window); returns the one that was in place.
  static TDocViewer SetDocViewer(TDocViewer AViewer);

private:
  std::u16string TempFilePath(const std::u16string& AName) const;

  std::u16string FSourceName;
  std::u16string FTempDirectory;
};
