// Unpacking an arbitrary archive into the renderer's folder. The bytes are
// saved as "md.zip" in a fresh renderer's temporary folder, as Render saves
// the help resource, and unpacked there; an archive that unpacks is then
// rendered (the page is not shown). Failures must be exceptions; nothing
// may be written outside the renderer's folder, and the folder must be gone
// once the renderer is.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "lib/MarkdownRenderer/uMarkdownRenderer.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ACondition, const char* AWhat) {
  if (ACondition) return;
  std::fprintf(stderr, "%s\n", AWhat);
  std::abort();
}

void UnpackAndRender(const TMarkdownRenderer& ARenderer, std::string_view ABytes) {
  const fs::path Folder(ARenderer.TempDirectory());
  {
    std::ofstream Archive(Folder / "md.zip", std::ios::binary | std::ios::trunc);
    Archive.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
  }
  try {
    ARenderer.UnpackArchive();
  } catch (const Exception&) {
    // An unsafe name, a damaged archive: "Unsafe path in archive: ...",
    // "Cannot open archive: ..." and the like.
    return;
  } catch (const fs::filesystem_error&) {
    // Names that collide on disk (a file where a folder must go).
    return;
  }
  try {
    (void)ARenderer.RenderTempFolder(u"Help");
  } catch (const Exception&) {
    // No Markdown file in the archive, or one that cannot be read.
  } catch (const fs::filesystem_error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Sandbox();
  // Rendering stops before the window.
  TMarkdownRenderer::SetDocViewer([](const std::u16string&, const std::u16string&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* AData, std::size_t ASize) {
  const std::string_view Bytes(reinterpret_cast<const char*>(AData), ASize);
  {
    const TMarkdownRenderer Renderer;
    UnpackAndRender(Renderer, Bytes);
    Check(fuzz::SandboxIsClean({fs::path(Renderer.TempDirectory()).filename()}),
          "the archive wrote outside the renderer's folder");
  }
  Check(fuzz::SandboxIsClean(), "the renderer's folder outlived the renderer");
  return 0;
}
