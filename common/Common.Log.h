#pragma once
// The add-in's one process-wide log: day-named UTF-8 files in the machine's
// common application-data folder, filtered by level.
#include <cstdint>
#include <string>
#include <string_view>

namespace Common::Log {

enum TLogLevel : std::uint8_t { llInfo = 0, llDebug = 1, llError = 2 };
enum TLogMode : std::uint8_t { lmOff = 0, lmErrors = 1, lmInfoErrors = 2, lmAll = 3 };

// Writes one timestamped line when the current mode admits ALevel; the
// first line of a logging period is preceded by the header block. Throws
// Exception when the folder or the file cannot be written.
void WriteLog(std::u16string_view AMessage, std::u16string_view ADetails, TLogLevel ALevel);
// Writes the line whatever the mode: a failure nobody could report otherwise
// (the library's registration, after which no driver object can switch the
// log on). With logging off the line gets a logging period of its own,
// header and footer included.
void WriteLogAlways(std::u16string_view AMessage, std::u16string_view ADetails, TLogLevel ALevel);
// Whether the current mode would write a line of ALevel: lets a caller skip
// composing a line nobody will read (one atomic load, no lock).
bool LogAdmits(TLogLevel ALevel) noexcept;
// Switching to lmOff closes the current logging period with the footer.
void SetLogMode(TLogMode AMode);
TLogMode LogMode();
// True once the header block of the current logging period is written.
bool LogStarted();
void SetLogName(std::u16string AName);
std::u16string LogName();
// The log folder with a trailing delimiter when AFolderOnly, else today's
// file path; creates the folder (and grants access to it) when missing.
std::u16string GetLogFileName(bool AFolderOnly);
void WriteLogHeader();
void WriteLogFooter();

}  // namespace Common::Log
