#include "driver/uVInfo.h"

#include "common/Text.h"

std::u16string GetModulePath() { return platform::ModuleLongFileName(); }

TFileVersion GetFileVersion(const std::u16string& AFileName) { return platform::FileVersionOf(AFileName); }

std::u16string FileVersionToText(const TFileVersion& AVersion) {
  return IntToText(AVersion.Major) + u"." + IntToText(AVersion.Minor) + u"." + IntToText(AVersion.Release) + u"." +
         IntToText(AVersion.Build);
}

std::u16string GetFileVersionText(const std::u16string& AFileName) {
  return FileVersionToText(GetFileVersion(AFileName));
}
