#pragma once
// Shared pieces of the help tests: a private temporary folder for the whole
// process, a viewer that records instead of showing a window, file helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lib/MarkdownRenderer/uMarkdownRenderer.h"

namespace help_test {

// Points the process's temporary folder (TMPDIR / TMP and TEMP) at AFolder;
// returns the previous setting so that it can be restored.
std::u16string SetProcessTempFolder(const std::u16string& AFolder);

std::string ReadBytes(const std::filesystem::path& APath);
void WriteBytes(const std::filesystem::path& APath, std::string_view ABytes);
// Names of the entries of AFolder's top level, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path& AFolder);

struct TShownPage {
  std::u16string Path;
  std::u16string Caption;
  std::string Bytes;                  // the page as it was while shown
  std::vector<std::string> Files;     // the folder's content while shown
};

// Every test runs with its own empty temporary folder and a recording
// viewer in place of the modal window.
class THelpTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  const std::filesystem::path& TempRoot() const { return FTempRoot; }
  std::vector<TShownPage> Shown;

private:
  std::filesystem::path FTempRoot;
  std::u16string FPreviousTemp;
  TMarkdownRenderer::TDocViewer FPreviousViewer;
};

}  // namespace help_test

namespace help_test {

struct TZipEntryData {
  std::string Name;
  std::string Content;
};
// Writes a deflate-compressed archive with exactly these entries (names
// stored as given, also unsafe ones).
void WriteZip(const std::filesystem::path& APath, const std::vector<TZipEntryData>& AEntries);

}  // namespace help_test
