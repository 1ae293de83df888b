#include "platform/Files.h"

#include <dirent.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "common/Exception.h"
#include "common/Text.h"
#include "platform/OsError.h"

namespace platform {

namespace {

struct TFileCloser {
  void operator()(std::FILE* AFile) const noexcept { std::fclose(AFile); }
};

struct TDirCloser {
  void operator()(DIR* ADir) const noexcept { closedir(ADir); }
};

std::FILE* File(void* AHandle) noexcept { return static_cast<std::FILE*>(AHandle); }

bool IsFolder(const char* APath) noexcept {
  struct stat Info;
  return stat(APath, &Info) == 0 && S_ISDIR(Info.st_mode);
}

int RemoveEntry(const char* APath, const struct stat*, int, struct FTW*) noexcept {
  std::remove(APath);
  return 0;  // what cannot be removed stays; go on with the rest
}

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
  const std::string Folder = ToUtf8(AFolder);
  const std::unique_ptr<DIR, TDirCloser> Dir(opendir(Folder.c_str()));
  if (!Dir) return std::nullopt;
  std::vector<TFolderEntry> Entries;
  while (const dirent* Entry = readdir(Dir.get())) {
    const std::string Name = Entry->d_name;
    if (Name == "." || Name == "..") continue;
    // Symbolic links count as what they point to.
    struct stat Info;
    const bool IsDir = fstatat(dirfd(Dir.get()), Name.c_str(), &Info, 0) == 0 && S_ISDIR(Info.st_mode);
    Entries.push_back({ToUtf16(Name), IsDir});
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

// The variables the C++ library's temp_directory_path looks at, in its order.
std::u16string TempFolder() {
  for (const char* Name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
    const char* Value = std::getenv(Name);
    if (!Value || !*Value) continue;
    if (!IsFolder(Value)) throw Exception(std::u16string(u"The temporary folder is not available"));
    std::string Folder = Value;
    while (Folder.size() > 1 && Folder.back() == '/') Folder.pop_back();
    return ToUtf16(Folder);
  }
  return u"/tmp";
}

bool IsAbsolutePath(const std::u16string& APath) { return !APath.empty() && APath.front() == u'/'; }

std::u16string AbsolutePath(const std::u16string& APath) {
  if (IsAbsolutePath(APath)) return APath;
  const std::unique_ptr<char, decltype(&std::free)> Current(getcwd(nullptr, 0), &std::free);
  if (!Current) RaiseOSError(u"Cannot resolve the path " + APath, static_cast<unsigned long>(errno));
  return JoinPath(ToUtf16(Current.get()), APath);
}

void RemoveFolderTree(const std::u16string& AFolder) noexcept {
  try {
    nftw(ToUtf8(AFolder).c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  } catch (...) {
    // No memory for the name: nothing was removed.
  }
}

}  // namespace platform
