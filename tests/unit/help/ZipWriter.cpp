#include "lib/MarkdownRenderer/uZipLib.h"

#include <stdexcept>

#include "unit/help/HelpTestSupport.h"

namespace help_test {

void WriteZip(const std::filesystem::path& APath, const std::vector<TZipEntryData>& AEntries) {
  int error = 0;
  zip_t* archive = zip_open(APath.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive)
    throw std::runtime_error("zip_open failed");
  for (const TZipEntryData& entry : AEntries) {
    zip_source_t* source = zip_source_buffer(archive, entry.Content.data(), entry.Content.size(), 0);
    const zip_int64_t index = source ? zip_file_add(archive, entry.Name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
      zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("zip_file_add failed for " + entry.Name);
    }
    zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 9);
  }
  // The buffers of AEntries are read here, while they are still alive.
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("zip_close failed");
  }
}

}  // namespace help_test
