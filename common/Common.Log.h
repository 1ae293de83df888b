#pragma once
// The add-in's one process-wide log: day-named UTF-8 files in the machine's
// common application-data folder, filtered by level.
#include <atomic>
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

namespace detail {
// The levels the current mode admits, bit ALevel for each, for the question
// every traced call asks twice: one load and one bit test. Being
// constant-initialised (no level: the log starts off), it needs no first-use
// check of the log's state. Written only by SetLogMode and WriteLogAlways,
// under the log's lock, right with the state's mode.
extern std::atomic<std::uint8_t> AdmittedLevels;
}  // namespace detail

// Whether the current mode would write a line of ALevel: lets a caller skip
// composing a line nobody will read. Inline: one relaxed atomic load and a
// bit test, no call, no lock.
inline bool LogAdmits(TLogLevel ALevel) noexcept {
  return ALevel <= llError && (detail::AdmittedLevels.load(std::memory_order_relaxed) >> ALevel & 1u) != 0;
}

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
