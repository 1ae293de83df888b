#pragma once
// Where the log is written: <common data folder>/Halvessa/<base name>/ and,
// in it, one file per day named "<base name>_yyyy.mm.dd.log".
#include <string>
#include <string_view>

#include "platform/LocalTime.h"

namespace Common::Log {

class TLogState;

// The file name of APath without folder part.
std::u16string LogFileNamePart(std::u16string_view APath);
// The file name of APath without folder part and without extension.
std::u16string LogBaseName(std::u16string_view APath);

// The log folder with its trailing delimiter, computed only: nothing is
// created or changed.
std::u16string LogFolderPathOf(const TLogState& AState);

// GetLogFileName for a given state and moment: creates the folder with every
// missing parent and grants everyone access to it when it had to be made;
// for a file name, refuses (platform::TForeignFolder) a folder of another
// user.
std::u16string LogFileNameOf(const TLogState& AState, bool AFolderOnly, const platform::TLocalTime& ATime);

}  // namespace Common::Log
