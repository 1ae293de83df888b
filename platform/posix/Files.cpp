#include "platform/Files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

struct TFileCloser {
  void operator()(std::FILE* AFile) const noexcept { std::fclose(AFile); }
};

std::FILE* File(void* AHandle) noexcept { return static_cast<std::FILE*>(AHandle); }

}  // namespace

std::string ReadWholeFile(const std::u16string& AFileName) {
  const std::unique_ptr<std::FILE, TFileCloser> File(std::fopen(ToUtf8(AFileName).c_str(), "rb"));
  if (!File) throw Exception(u"Cannot open file: " + AFileName);
  std::string Result;
  char Buffer[65536];
  std::size_t Count;
  while ((Count = std::fread(Buffer, 1, sizeof Buffer, File.get())) > 0) Result.append(Buffer, Count);
  if (std::ferror(File.get())) throw Exception(u"Cannot read file: " + AFileName);
  return Result;
}

TFileWriter::TFileWriter(const std::u16string& AFileName)
    : FFileName(AFileName), FHandle(std::fopen(ToUtf8(AFileName).c_str(), "wb")) {
  if (!FHandle) throw Exception(u"Cannot create file: " + AFileName);
}

TFileWriter::~TFileWriter() {
  if (FHandle) std::fclose(File(FHandle));
}

void TFileWriter::Write(std::string_view ABytes) {
  if (!FHandle || std::fwrite(ABytes.data(), 1, ABytes.size(), File(FHandle)) != ABytes.size())
    throw Exception(u"Cannot write file: " + FFileName);
}

void TFileWriter::Close() {
  std::FILE* Handle = File(FHandle);
  FHandle = nullptr;
  if (Handle && std::fclose(Handle) != 0) throw Exception(u"Cannot write file: " + FFileName);
}

std::optional<std::vector<TFolderEntry>> ListFolder(const std::u16string& AFolder) {
  std::error_code Error;
  fs::directory_iterator It(ToUtf8(AFolder), Error);
  if (Error) return std::nullopt;
  std::vector<TFolderEntry> Entries;
  for (const fs::directory_iterator End; !Error && It != End; It.increment(Error)) {
    std::error_code TypeError;
    Entries.push_back({ToUtf16(It->path().filename().string()), It->is_directory(TypeError)});
  }
  return Entries;
}

std::optional<std::int64_t> FileWriteTime(const std::u16string& AFileName, std::u16string* AReason) {
  struct stat Info;
  if (stat(ToUtf8(AFileName).c_str(), &Info) != 0) {
    if (AReason) *AReason = OSErrorText(static_cast<unsigned long>(errno));
    return std::nullopt;
  }
  return static_cast<std::int64_t>(Info.st_mtim.tv_sec) * 1000000000 + Info.st_mtim.tv_nsec;
}

bool FileExists(const std::u16string& APath) {
  struct stat Info;
  return !APath.empty() && stat(ToUtf8(APath).c_str(), &Info) == 0 && !S_ISDIR(Info.st_mode);
}

std::u16string TempFolder() {
  std::error_code Error;
  const fs::path Folder = fs::temp_directory_path(Error);
  if (Error) throw Exception(std::u16string(u"The temporary folder is not available"));
  return ToUtf16(Folder.string());
}

bool IsAbsolutePath(const std::u16string& APath) { return !APath.empty() && APath.front() == u'/'; }

std::u16string AbsolutePath(const std::u16string& APath) {
  std::error_code Error;
  const fs::path Result = fs::absolute(ToUtf8(APath), Error);
  if (Error) RaiseOSError(u"Cannot resolve the path " + APath, static_cast<unsigned long>(Error.value()));
  return ToUtf16(Result.string());
}

void RemoveFolderTree(const std::u16string& AFolder) noexcept {
  std::error_code Error;
  fs::remove_all(ToUtf8(AFolder), Error);
}

}  // namespace platform
