#include "platform/Folders.h"

namespace platform {

// Defined per system: creates exactly one folder whose parent exists. True
// when created, false when it was already there; throws on any other failure.
bool MakeOneFolder(const std::u16string& AFolder);

namespace {

std::u16string WithoutTrailingDelimiters(std::u16string AFolder) {
  while (AFolder.size() > 1 && AFolder.back() == PathDelimiter) AFolder.pop_back();
  return AFolder;
}

std::u16string ParentOf(const std::u16string& AFolder) {
  const std::size_t Last = AFolder.find_last_of(PathDelimiter);
  return Last == std::u16string::npos ? std::u16string() : AFolder.substr(0, Last);
}

}  // namespace

bool CreateFolderTree(const std::u16string& AFolder) {
  const std::u16string Folder = WithoutTrailingDelimiters(AFolder);
  if (Folder.empty() || FolderExists(Folder)) return false;
  const std::u16string Parent = ParentOf(Folder);
  if (!Parent.empty() && !FolderExists(Parent)) CreateFolderTree(Parent);
  return MakeOneFolder(Folder);
}

}  // namespace platform
