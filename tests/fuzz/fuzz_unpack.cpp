// Unpacking an arbitrary archive into the renderer's folder. The bytes are
// saved as "md.zip" in a fresh renderer's temporary folder, as Render saves
// the help resource, and unpacked there; an archive that unpacks is then
// rendered (the page is not shown). Failures must be exceptions; nothing
// may be written outside the renderer's folder, and the folder must be gone
// once the renderer is. An archive that unpacks must have left each of its
// files with the bytes libzip reads from it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include <zip.h>

#include "FuzzSupport.h"
#include "common/Exception.h"
#include "lib/MarkdownRenderer/uMarkdownRenderer.h"
#include "lib/MarkdownRenderer/uZipExtract.h"

namespace {

namespace fs = std::filesystem;

void Check(bool ACondition, const char* AWhat) {
  if (ACondition) return;
  std::fprintf(stderr, "%s\n", AWhat);
  std::abort();
}

struct TZipClose {
  void operator()(zip_t* AArchive) const noexcept { zip_discard(AArchive); }
};

// Each file entry of the archive, read by libzip, against the file it
// became (an entry whose place a later entry of the same place took, or the
// archive's own name, is not compared).
void RequireExtractedAsStored(const fs::path& AFolder, std::string_view ABytes) {
  zip_error_t Error;
  zip_error_init(&Error);
  zip_source_t* Source = zip_source_buffer_create(ABytes.data(), ABytes.size(), 0, &Error);
  std::unique_ptr<zip_t, TZipClose> Archive(Source ? zip_open_from_source(Source, ZIP_RDONLY, &Error) : nullptr);
  if (!Archive && Source) zip_source_free(Source);
  zip_error_fini(&Error);
  Check(Archive != nullptr, "an archive that unpacked does not open in libzip");
  std::map<fs::path, std::string> Expected;
  std::map<fs::path, int> Entries;
  const zip_int64_t Count = zip_get_num_entries(Archive.get(), 0);
  for (zip_int64_t I = 0; I < Count; ++I) {
    const char* Name = zip_get_name(Archive.get(), static_cast<zip_uint64_t>(I), ZIP_FL_ENC_GUESS);
    Check(Name != nullptr, "an entry of an archive that unpacked has no name");
    const std::string_view View(Name);
    const fs::path Target(ZipEntryTarget(AFolder.u16string(), View));
    ++Entries[Target];
    if (View.back() == '/' || View.back() == '\\') continue;
    std::string Content;
    zip_file_t* File = zip_fopen_index(Archive.get(), static_cast<zip_uint64_t>(I), 0);
    Check(File != nullptr, "an entry of an archive that unpacked does not open in libzip");
    char Buffer[4096];
    for (zip_int64_t Got; (Got = zip_fread(File, Buffer, sizeof Buffer)) > 0;) Content.append(Buffer, static_cast<std::size_t>(Got));
    zip_fclose(File);
    Expected[Target] = std::move(Content);
  }
  for (const auto& [Target, Content] : Expected) {
    if (Entries[Target] != 1 || Target.filename() == "md.zip") continue;
    std::ifstream In(Target, std::ios::binary);
    Check(In.good(), "a file of the archive is missing after unpacking");
    const std::string Written((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    Check(Written == Content, "a file of the archive was unpacked with other bytes");
  }
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
  RequireExtractedAsStored(Folder, ABytes);
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
