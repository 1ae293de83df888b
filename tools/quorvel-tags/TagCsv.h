#pragma once
// The tag files of "quorvel-tags add --file": CSV text, one tag per line as
// TID,EPC,USER (EPC and USER may be left out or empty), with an optional
// header line "TID,EPC,USER". Lines may end in CR LF or LF, the file may
// begin with a UTF-8 byte-order mark, fields may be quoted and padded with
// spaces, and blank lines are skipped: the same file serves Windows and
// Linux. One bad line refuses the whole file.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "rfid/TagField.h"

namespace quorvel_tags {

struct TTagCsv {
  std::vector<TAddedTag> Tags;  // values as given, checked against the rules of added tags
  std::size_t BadLine = 0;      // 1-based; 0 when the file was read
  std::string Error;            // why that line was refused
};

TTagCsv ReadTagCsv(std::string_view AText);

}  // namespace quorvel_tags
