#pragma once
// The block that opens a logging period and the line that closes it.
#include <string>

namespace Common::Log {

class TLogState;

// The six header lines joined by CR LF (the last line break is added when
// the block is appended).
std::u16string LogHeaderText();
inline constexpr char16_t kLogFooterText[] = u"============Stop log===============\r\n";

// Write the header once per logging period, and the footer when a period
// with a header is open.
void WriteLogHeaderOf(TLogState& AState);
void WriteLogFooterOf(TLogState& AState);

}  // namespace Common::Log
