#pragma once
// Decoding of a text file's bytes by their byte-order mark.
#include <string>
#include <string_view>

// UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or big-endian (FE FF) by
// the mark, which is not part of the text; bytes without a mark are UTF-8.
// A trailing odd byte of UTF-16 text is dropped.
std::u16string DecodeTextBytes(std::string_view ABytes);
