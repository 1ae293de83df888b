// The Markdown text is read with write access denied to others: a file
// another program holds open for writing cannot be read.
#include <gtest/gtest.h>
#include <windows.h>

#include "unit/help/HelpTestSupport.h"

namespace fs = std::filesystem;

namespace {

using TextFileSharing = help_test::THelpTest;

TEST_F(TextFileSharing, AFileHeldForWritingIsNotRead) {
  TMarkdownRenderer renderer;
  const fs::path file = fs::path(renderer.TempDirectory()) / "held.md";
  help_test::WriteBytes(file, "# text");
  HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_THROW(renderer.ReadTextFile(u"held.md"), std::exception);
  CloseHandle(writer);
  EXPECT_EQ(renderer.ReadTextFile(u"held.md"), u"# text");
}

}  // namespace
