#include "lib/MarkdownRenderer/uZipExtract.h"

#include "lib/MarkdownRenderer/uZipLib.h"

#include <memory>
#include <string>
#include <vector>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/Files.h"
#include "platform/Folders.h"

namespace {

struct TZipDiscard {
  void operator()(zip_t* AArchive) const noexcept { zip_discard(AArchive); }
};
struct TZipFileClose {
  void operator()(zip_file_t* AFile) const noexcept { zip_fclose(AFile); }
};
using TZipArchive = std::unique_ptr<zip_t, TZipDiscard>;
using TZipEntry = std::unique_ptr<zip_file_t, TZipFileClose>;

[[noreturn]] void Fail(std::u16string_view AWhat, std::string_view ADetails) {
  throw Exception(std::u16string(AWhat) + ToUtf16(ADetails));
}

// The archive is read into memory first: libzip's own file access would
// need the path in the system's narrow encoding on Windows.
TZipArchive OpenArchive(const std::string& ABytes) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(ABytes.data(), ABytes.size(), 0, &error);
  zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
  if (!archive) {
    if (source)
      zip_source_free(source);
    const std::string message = zip_error_strerror(&error);
    zip_error_fini(&error);
    Fail(u"Cannot open archive: ", message);
  }
  zip_error_fini(&error);
  return TZipArchive(archive);
}

bool IsFolderEntry(std::string_view AName) noexcept {
  return !AName.empty() && (AName.back() == '/' || AName.back() == '\\');
}

// The folder part of a target ZipEntryTarget made.
std::u16string ParentFolder(const std::u16string& ATarget) {
  const std::size_t last = ATarget.find_last_of(platform::PathDelimiter);
  return last == std::u16string::npos ? std::u16string() : ATarget.substr(0, last);
}

void ExtractEntry(zip_t* AArchive, zip_uint64_t AIndex, const std::u16string& ATarget) {
  TZipEntry entry(zip_fopen_index(AArchive, AIndex, 0));
  if (!entry)
    Fail(u"Cannot unpack archive: ", zip_strerror(AArchive));
  platform::CreateFolderTree(ParentFolder(ATarget));
  platform::TFileWriter file(ATarget);
  char buffer[65536];
  for (;;) {
    const zip_int64_t count = zip_fread(entry.get(), buffer, sizeof buffer);
    if (count < 0)
      Fail(u"Cannot unpack archive: ", zip_file_strerror(entry.get()));
    if (count == 0)
      break;
    file.Write(std::string_view(buffer, static_cast<std::size_t>(count)));
  }
  file.Close();
}

}  // namespace

std::u16string ZipEntryTarget(const std::u16string& AFolder, std::string_view AEntryName) {
  const std::u16string name = ToUtf16(AEntryName);
  const auto refuse = [&name]() { throw Exception(u"Unsafe path in archive: " + name); };
  if (name.empty() || name.front() == u'/' || name.front() == u'\\' || name.find(u':') != std::u16string::npos)
    refuse();
  std::u16string target = AFolder;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of(u"/\\", start);
    if (end == std::u16string::npos)
      end = name.size();
    const std::u16string part = name.substr(start, end - start);
    if (part == u"..")
      refuse();
    if (!part.empty() && part != u".")
      target = platform::JoinPath(target, part);
    start = end + 1;
  }
  return target;
}

void ExtractZipArchive(const std::u16string& AArchive, const std::u16string& AFolder) {
  const std::string bytes = platform::ReadWholeFile(AArchive);
  const TZipArchive archive = OpenArchive(bytes);
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);

  struct TPlannedEntry {
    zip_uint64_t Index;
    std::u16string Target;
    bool Folder;
  };
  std::vector<TPlannedEntry> plan;
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(archive.get(), index, ZIP_FL_ENC_GUESS);
    if (!name)
      Fail(u"Cannot unpack archive: ", zip_strerror(archive.get()));
    plan.push_back({index, ZipEntryTarget(AFolder, name), IsFolderEntry(name)});
  }

  for (const TPlannedEntry& entry : plan) {
    if (entry.Folder)
      platform::CreateFolderTree(entry.Target);
    else
      ExtractEntry(archive.get(), entry.Index, entry.Target);
  }
}
