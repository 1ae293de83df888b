#pragma once
// Files and folders by their UTF-16 names: whole-file reads and writes,
// folder listings, modification times, the temporary folder. The Windows
// build uses the system's calls directly, which keeps the C++ library's
// stream, locale and path machinery out of the add-in.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The whole content of AFileName (other programs may go on reading and
// writing it). Throws Exception "Cannot open file: <name>" or "Cannot read
// file: <name>".
std::string ReadWholeFile(const std::u16string& AFileName);

// A file created (or emptied) for writing, closed when the object goes.
// Throws Exception "Cannot create file: <name>" when it cannot be opened,
// "Cannot write file: <name>" when a write or the closing fails.
class TFileWriter {
public:
  explicit TFileWriter(const std::u16string& AFileName);
  TFileWriter(const TFileWriter&) = delete;
  TFileWriter& operator=(const TFileWriter&) = delete;
  ~TFileWriter();
  void Write(std::string_view ABytes);
  // Closes the file, reporting a failure that the destructor would swallow.
  void Close();

private:
  std::u16string FFileName;
  void* FHandle;  // HANDLE on Windows, FILE* elsewhere; null once closed
};

struct TFolderEntry {
  std::u16string Name;
  bool Folder = false;
};

// The entries of AFolder (without "." and ".."), in the file system's own
// order; nullopt when the folder cannot be read.
std::optional<std::vector<TFolderEntry>> ListFolder(const std::u16string& AFolder);

// AFileName's last modification, in the system's own units (comparable with
// each other only); nullopt when the file is not there. AReason, when given,
// receives the system's description of the failure.
std::optional<std::int64_t> FileWriteTime(const std::u16string& AFileName, std::u16string* AReason = nullptr);

// True when APath names something that is not a folder.
bool FileExists(const std::u16string& APath);

// The user's temporary folder, without a trailing delimiter. Throws
// Exception when the system names none.
std::u16string TempFolder();

// True when APath does not depend on the current folder (or drive).
bool IsAbsolutePath(const std::u16string& APath);
// APath resolved against the current folder. Throws Exception on failure.
std::u16string AbsolutePath(const std::u16string& APath);
// AFolder joined with the relative name AName by one delimiter.
std::u16string JoinPath(const std::u16string& AFolder, std::u16string_view AName);

// Removes AFolder with everything in it, as far as it goes: what cannot be
// removed (a file another program holds open) stays, the rest goes.
void RemoveFolderTree(const std::u16string& AFolder) noexcept;

}  // namespace platform
