#pragma once
// The Serialised Global Trade Item Number in a tag's EPC memory, in the two
// binary encodings of GS1's EPC Tag Data Standard:
//   SGTIN-96   header 30: filter 3 bits, partition 3, company prefix and
//              indicator/item reference 44 together (split by the
//              partition), serial 38 bits (a decimal number, 0 to
//              274877906943, written without leading zeros);
//   SGTIN-198  header 36: the same fields up to the serial, which is up to
//              20 characters of GS1's application identifier 21 set, 7 bits
//              each, padded with zero bits to 140; the 198 bits are stored
//              as 13 words of memory (52 hexadecimal digits).
// The partition p names the split: a company prefix of 12 - p digits and an
// item reference (with the indicator digit in front) of p + 1 digits.
#include <optional>
#include <string>
#include <string_view>

enum class TSgtinScheme { ssSgtin96, ssSgtin198 };

struct TSgtin {
  TSgtinScheme Scheme = TSgtinScheme::ssSgtin96;
  int Filter = 1;             // 0 to 7; 1 is a point-of-sale item
  std::string CompanyPrefix;  // 6 to 12 digits
  std::string ItemReference;  // the indicator digit, then the item digits: 13 digits with the prefix
  std::string Serial;
};

inline constexpr int kSgtinDefaultFilter = 1;
inline constexpr int kSgtinDefaultPrefixLength = 7;
inline constexpr unsigned long long kSgtin96MaxSerial = 274877906943ULL;  // 2^38 - 1
inline constexpr std::size_t kSgtin198MaxSerial = 20;

// The check digit of the first 13 digits of a GTIN-14 (or the first 12 of a
// GTIN-13 with a 0 in front).
char GtinCheckDigit(std::string_view ADigits) noexcept;
// A GTIN-13 or GTIN-14 as the GTIN-14 it stands for; nothing (and AError
// says why) when it is neither or its check digit is wrong.
std::optional<std::string> NormalizeGtin(std::string_view AGtin, std::string& AError);

// The SGTIN of a GTIN and a serial, with the company prefix APrefixLength
// digits long; nothing (and AError says why) when a value does not fit the
// scheme.
std::optional<TSgtin> MakeSgtin(std::string_view AGtin, std::string_view ASerial, int AFilter, int APrefixLength,
                                TSgtinScheme AScheme, std::string& AError);

// The EPC memory of an SGTIN as upper-case hexadecimal text; nothing (and
// AError says why) when a field does not fit the scheme.
std::optional<std::string> EncodeSgtin(const TSgtin& ASgtin, std::string& AError);
// The SGTIN in an EPC memory (hexadecimal, either case); nothing when the
// memory holds no valid SGTIN-96 or SGTIN-198.
std::optional<TSgtin> DecodeSgtin(std::string_view AHex);

// "00892685001225": the GTIN-14 of an SGTIN, its check digit computed.
std::string SgtinGtin(const TSgtin& ASgtin);
// "urn:epc:id:sgtin:0614141.812345.6789"
std::string SgtinPureUri(const TSgtin& ASgtin);
// "urn:epc:tag:sgtin-96:3.0614141.812345.6789"
std::string SgtinTagUri(const TSgtin& ASgtin);

// Whether the serial is one the scheme can carry (AError says why not).
bool ValidSgtinSerial(std::string_view ASerial, TSgtinScheme AScheme, std::string& AError);
