#include "platform/Files.h"

#include "platform/Folders.h"

namespace platform {

std::u16string JoinPath(const std::u16string& AFolder, std::u16string_view AName) {
  std::u16string Result = AFolder;
  if (!Result.empty() && !IsPathDelimiter(Result.back())) Result += PathDelimiter;
  Result += AName;
  return Result;
}

}  // namespace platform
