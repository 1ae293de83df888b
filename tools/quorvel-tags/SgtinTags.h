#pragma once
// The tags of "quorvel-tags add --sgtin": one per serial, each EPC the SGTIN
// of the GTIN and that serial, each TID generated.
//
// Generated TIDs are 24 hexadecimal digits counted up from kFirstGeneratedTID
// (or from --tid-start, keeping its number of digits); a TID that the reader
// holds already, or one of the eight fixed TIDs, is skipped. The same command
// on a fresh reader thus always gives the same TIDs.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "rfid/Sgtin.h"
#include "rfid/TagField.h"

namespace quorvel_tags {

inline constexpr std::string_view kFirstGeneratedTID = "E28011900000000000000001";

struct TSgtinRequest {
  std::string Gtin;
  std::vector<std::string> Serials;
  int Filter = kSgtinDefaultFilter;
  int PrefixLength = kSgtinDefaultPrefixLength;
  TSgtinScheme Scheme = TSgtinScheme::ssSgtin96;
  std::string TIDStart{kFirstGeneratedTID};
};

// "FIRST-LAST" (decimal, FIRST <= LAST, at most kMaxAddedTags serials) as
// the serials in order; nothing (AError says why) otherwise.
std::optional<std::vector<std::string>> SerialRange(std::string_view ARange, std::string& AError);
// The TID after ATID, as many digits long; nothing past the last one.
std::optional<std::string> NextTID(std::string_view ATID);
// The tags; ATaken holds the upper-case TIDs that generated ones must avoid.
std::optional<std::vector<TAddedTag>> SgtinTags(const TSgtinRequest& ARequest,
                                                const std::unordered_set<std::string>& ATaken, std::string& AError);

}  // namespace quorvel_tags
