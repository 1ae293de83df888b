#pragma once
// Version information of the driver library's own file.
#include <string>

#include "platform/Module.h"

using TFileVersion = platform::TFileVersion;

// Full path of the driver library's own file.
std::u16string GetModulePath();
// The fixed file version of AFileName; empty means the driver library.
TFileVersion GetFileVersion(const std::u16string& AFileName = {});
// "%d.%d.%d.%d" of GetFileVersion.
std::u16string GetFileVersionText(const std::u16string& AFileName = {});
std::u16string FileVersionToText(const TFileVersion& AVersion);
