#include "common/LogFileName.h"

#include "common/LogLine.h"
#include "common/LogState.h"
#include "platform/Folders.h"
#include "platform/Module.h"

namespace Common::Log {

namespace {

// The log is named after LogName, or after this module when it has none.
std::u16string BaseNameFor(const TLogState& AState) {
  const std::u16string Name = AState.LogName();
  return LogBaseName(Name.empty() ? platform::ModuleLongFileName() : Name);
}

}  // namespace

std::u16string LogFileNamePart(std::u16string_view APath) {
  std::size_t Start = APath.size();
  while (Start > 0 && !platform::IsPathDelimiter(APath[Start - 1])) --Start;
  return std::u16string(APath.substr(Start));
}

std::u16string LogBaseName(std::u16string_view APath) {
  std::u16string Name = LogFileNamePart(APath);
  if (const std::size_t Dot = Name.rfind(u'.'); Dot != std::u16string_view::npos) Name.resize(Dot);
  return Name;
}

namespace {

std::u16string FolderFor(const TLogState& AState, const std::u16string& ABaseName) {
  std::u16string Folder = platform::CommonAppDataFolder();
  Folder += AState.LogCompanyFolder;
  Folder += platform::PathDelimiter;
  Folder += ABaseName;
  if (Folder.back() != platform::PathDelimiter) Folder += platform::PathDelimiter;
  return Folder;
}

}  // namespace

std::u16string LogFolderPathOf(const TLogState& AState) { return FolderFor(AState, BaseNameFor(AState)); }

std::u16string LogFileNameOf(const TLogState& AState, bool AFolderOnly, const platform::TLocalTime& ATime) {
  const std::u16string BaseName = BaseNameFor(AState);
  const std::u16string Folder = FolderFor(AState, BaseName);

  if (!platform::FolderExists(Folder) && platform::CreateFolderTree(Folder))
    platform::GrantEveryoneFullAccess(Folder);

  if (AFolderOnly) return Folder;
  // Only a folder that is fit for the user's log is written into; naming it
  // (the description's LogPath, the viewer) needs no such check.
  platform::CheckOwnFolder(Folder);
  return Folder + BaseName + u'_' + FormatLogDate(ATime) + u".log";
}

}  // namespace Common::Log
