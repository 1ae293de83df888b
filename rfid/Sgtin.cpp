#include "rfid/Sgtin.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint8_t kHeader96 = 0x30;
constexpr std::uint8_t kHeader198 = 0x36;
constexpr int kSerialBits96 = 38;
constexpr int kCharBits198 = 7;
constexpr std::size_t kHexDigits96 = 24;
constexpr std::size_t kHexDigits198 = 52;  // 198 bits in 13 words of 16

struct TPartition {
  int PrefixBits;
  int PrefixDigits;
  int ItemBits;
  int ItemDigits;
};

constexpr std::array<TPartition, 7> kPartitions{{{40, 12, 4, 1},
                                                 {37, 11, 7, 2},
                                                 {34, 10, 10, 3},
                                                 {30, 9, 14, 4},
                                                 {27, 8, 17, 5},
                                                 {24, 7, 20, 6},
                                                 {20, 6, 24, 7}}};

// GS1's character set of application identifier 21 (the serial).
constexpr std::string_view kSerialCharacters =
    "!\"%&'()*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz";
// Characters of that set that a URI carries as %XX.
constexpr std::string_view kUriEscaped = "\"%&/<>?";

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool AllDigits(std::string_view AText) noexcept {
  for (const char C : AText)
    if (C < '0' || C > '9') return false;
  return !AText.empty();
}

std::uint64_t DigitsValue(std::string_view ADigits) noexcept {
  std::uint64_t Value = 0;
  for (const char C : ADigits) Value = Value * 10 + static_cast<std::uint64_t>(C - '0');
  return Value;
}

std::uint64_t PowerOfTen(int AExponent) noexcept {
  std::uint64_t Value = 1;
  for (int I = 0; I < AExponent; ++I) Value *= 10;
  return Value;
}

std::string ZeroPadded(std::uint64_t AValue, int ADigits) {
  std::string Text = std::to_string(AValue);
  if (Text.size() < static_cast<std::size_t>(ADigits)) Text.insert(0, static_cast<std::size_t>(ADigits) - Text.size(), '0');
  return Text;
}

// The partition whose company prefix has ADigits digits.
const TPartition* PartitionOfPrefix(std::size_t ADigits, int& AIndex) noexcept {
  for (std::size_t I = 0; I < kPartitions.size(); ++I)
    if (static_cast<std::size_t>(kPartitions[I].PrefixDigits) == ADigits) {
      AIndex = static_cast<int>(I);
      return &kPartitions[I];
    }
  return nullptr;
}

class TBitWriter {
public:
  explicit TBitWriter(std::size_t ABits) : FBytes((ABits + 7) / 8, 0) {}
  void Put(std::uint64_t AValue, int ABits) noexcept {
    for (int I = ABits - 1; I >= 0; --I) {
      if ((AValue >> I) & 1u) FBytes[FPosition / 8] |= static_cast<std::uint8_t>(0x80u >> (FPosition % 8));
      ++FPosition;
    }
  }
  std::string Hex() const {
    std::string Text;
    for (const std::uint8_t Byte : FBytes) {
      Text += kHexDigits[Byte >> 4];
      Text += kHexDigits[Byte & 0xF];
    }
    return Text;
  }

private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

class TBitReader {
public:
  explicit TBitReader(std::vector<std::uint8_t> ABytes) : FBytes(std::move(ABytes)) {}
  std::uint64_t Get(int ABits) noexcept {
    std::uint64_t Value = 0;
    for (int I = 0; I < ABits; ++I, ++FPosition)
      Value = (Value << 1) | ((FBytes[FPosition / 8] >> (7 - FPosition % 8)) & 1u);
    return Value;
  }
  // Whether every bit from here to the end is zero.
  bool RestIsZero() noexcept {
    while (FPosition < FBytes.size() * 8)
      if (Get(1) != 0) return false;
    return true;
  }

private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view AHex) {
  if (AHex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> Bytes;
  Bytes.reserve(AHex.size() / 2);
  auto Nibble = [](char C) -> int {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    return -1;
  };
  for (std::size_t I = 0; I < AHex.size(); I += 2) {
    const int High = Nibble(AHex[I]);
    const int Low = Nibble(AHex[I + 1]);
    if (High < 0 || Low < 0) return std::nullopt;
    Bytes.push_back(static_cast<std::uint8_t>(High * 16 + Low));
  }
  return Bytes;
}

std::string UriSerial(std::string_view ASerial) {
  std::string Text;
  for (const char C : ASerial) {
    if (kUriEscaped.find(C) != std::string_view::npos) {
      Text += '%';
      Text += kHexDigits[static_cast<unsigned char>(C) >> 4];
      Text += kHexDigits[static_cast<unsigned char>(C) & 0xF];
    } else {
      Text += C;
    }
  }
  return Text;
}

std::optional<TSgtin> DecodeSerial96(TBitReader& ABits, TSgtin& ASgtin) {
  ASgtin.Serial = std::to_string(ABits.Get(kSerialBits96));
  return ASgtin;
}

std::optional<TSgtin> DecodeSerial198(TBitReader& ABits, TSgtin& ASgtin) {
  for (std::size_t I = 0; I < kSgtin198MaxSerial; ++I) {
    const auto Code = static_cast<char>(ABits.Get(kCharBits198));
    if (Code == 0) break;
    if (kSerialCharacters.find(Code) == std::string_view::npos) return std::nullopt;
    ASgtin.Serial += Code;
  }
  // The serial ends at its first zero character: the rest is padding.
  if (ASgtin.Serial.empty() || !ABits.RestIsZero()) return std::nullopt;
  return ASgtin;
}

}  // namespace

char GtinCheckDigit(std::string_view ADigits) noexcept {
  int Sum = 0;
  int Weight = 3;
  for (std::size_t I = ADigits.size(); I-- > 0;) {
    Sum += (ADigits[I] - '0') * Weight;
    Weight = 4 - Weight;
  }
  return static_cast<char>('0' + (10 - Sum % 10) % 10);
}

std::optional<std::string> NormalizeGtin(std::string_view AGtin, std::string& AError) {
  if (!AllDigits(AGtin) || (AGtin.size() != 13 && AGtin.size() != 14)) {
    AError = "\"" + std::string(AGtin) + "\" is no GTIN: give the 13 or 14 digits of a GTIN-13 or GTIN-14";
    return std::nullopt;
  }
  std::string Gtin = AGtin.size() == 13 ? "0" + std::string(AGtin) : std::string(AGtin);
  const char Check = GtinCheckDigit(std::string_view(Gtin).substr(0, 13));
  if (Gtin.back() != Check) {
    AError = "GTIN " + std::string(AGtin) + " has a wrong check digit: it should end in " + Check;
    return std::nullopt;
  }
  return Gtin;
}

bool ValidSgtinSerial(std::string_view ASerial, TSgtinScheme AScheme, std::string& AError) {
  if (AScheme == TSgtinScheme::ssSgtin96) {
    const bool Number = AllDigits(ASerial) && ASerial.size() <= 12 && (ASerial.size() == 1 || ASerial[0] != '0') &&
                        DigitsValue(ASerial) <= kSgtin96MaxSerial;
    if (!Number)
      AError = "serial \"" + std::string(ASerial) +
               "\" does not fit SGTIN-96: a number 0 to 274877906943 without leading zeros (use sgtin-198 for others)";
    return Number;
  }
  if (ASerial.empty() || ASerial.size() > kSgtin198MaxSerial) {
    AError = "serial \"" + std::string(ASerial) + "\" does not fit SGTIN-198: 1 to 20 characters";
    return false;
  }
  for (const char C : ASerial)
    if (kSerialCharacters.find(C) == std::string_view::npos) {
      AError = "serial \"" + std::string(ASerial) + "\" holds a character outside GS1's serial character set";
      return false;
    }
  return true;
}

std::optional<TSgtin> MakeSgtin(std::string_view AGtin, std::string_view ASerial, int AFilter, int APrefixLength,
                                TSgtinScheme AScheme, std::string& AError) {
  const auto Gtin = NormalizeGtin(AGtin, AError);
  if (!Gtin) return std::nullopt;
  if (APrefixLength < 6 || APrefixLength > 12) {
    AError = "the company prefix length must be 6 to 12 digits";
    return std::nullopt;
  }
  if (AFilter < 0 || AFilter > 7) {
    AError = "the filter must be 0 to 7";
    return std::nullopt;
  }
  if (!ValidSgtinSerial(ASerial, AScheme, AError)) return std::nullopt;
  TSgtin Result;
  Result.Scheme = AScheme;
  Result.Filter = AFilter;
  const auto Length = static_cast<std::size_t>(APrefixLength);
  Result.CompanyPrefix = Gtin->substr(1, Length);
  Result.ItemReference = Gtin->substr(0, 1) + Gtin->substr(1 + Length, 12 - Length);
  Result.Serial = ASerial;
  return Result;
}

std::optional<std::string> EncodeSgtin(const TSgtin& ASgtin, std::string& AError) {
  int Index = 0;
  const TPartition* Partition = PartitionOfPrefix(ASgtin.CompanyPrefix.size(), Index);
  if (!Partition || !AllDigits(ASgtin.CompanyPrefix) || !AllDigits(ASgtin.ItemReference) ||
      ASgtin.ItemReference.size() != static_cast<std::size_t>(Partition->ItemDigits)) {
    AError = "company prefix and item reference must be 13 digits together, the prefix 6 to 12 of them";
    return std::nullopt;
  }
  if (ASgtin.Filter < 0 || ASgtin.Filter > 7) {
    AError = "the filter must be 0 to 7";
    return std::nullopt;
  }
  if (!ValidSgtinSerial(ASgtin.Serial, ASgtin.Scheme, AError)) return std::nullopt;
  const bool Is96 = ASgtin.Scheme == TSgtinScheme::ssSgtin96;
  TBitWriter Bits(Is96 ? kHexDigits96 * 4 : kHexDigits198 * 4);
  Bits.Put(Is96 ? kHeader96 : kHeader198, 8);
  Bits.Put(static_cast<std::uint64_t>(ASgtin.Filter), 3);
  Bits.Put(static_cast<std::uint64_t>(Index), 3);
  Bits.Put(DigitsValue(ASgtin.CompanyPrefix), Partition->PrefixBits);
  Bits.Put(DigitsValue(ASgtin.ItemReference), Partition->ItemBits);
  if (Is96) {
    Bits.Put(DigitsValue(ASgtin.Serial), kSerialBits96);
  } else {
    for (const char C : ASgtin.Serial) Bits.Put(static_cast<unsigned char>(C), kCharBits198);
  }
  return Bits.Hex();
}

std::optional<TSgtin> DecodeSgtin(std::string_view AHex) {
  if (AHex.size() != kHexDigits96 && AHex.size() != kHexDigits198) return std::nullopt;
  auto Bytes = HexBytes(AHex);
  if (!Bytes) return std::nullopt;
  const std::uint8_t Header = (*Bytes)[0];
  const bool Is96 = Header == kHeader96 && AHex.size() == kHexDigits96;
  const bool Is198 = Header == kHeader198 && AHex.size() == kHexDigits198;
  if (!Is96 && !Is198) return std::nullopt;

  TBitReader Bits(std::move(*Bytes));
  Bits.Get(8);
  TSgtin Result;
  Result.Scheme = Is96 ? TSgtinScheme::ssSgtin96 : TSgtinScheme::ssSgtin198;
  Result.Filter = static_cast<int>(Bits.Get(3));
  const auto Index = static_cast<std::size_t>(Bits.Get(3));
  if (Index >= kPartitions.size()) return std::nullopt;
  const TPartition& Partition = kPartitions[Index];
  const std::uint64_t Prefix = Bits.Get(Partition.PrefixBits);
  const std::uint64_t Item = Bits.Get(Partition.ItemBits);
  if (Prefix >= PowerOfTen(Partition.PrefixDigits) || Item >= PowerOfTen(Partition.ItemDigits)) return std::nullopt;
  Result.CompanyPrefix = ZeroPadded(Prefix, Partition.PrefixDigits);
  Result.ItemReference = ZeroPadded(Item, Partition.ItemDigits);
  return Is96 ? DecodeSerial96(Bits, Result) : DecodeSerial198(Bits, Result);
}

std::string SgtinGtin(const TSgtin& ASgtin) {
  std::string Digits = ASgtin.ItemReference.substr(0, 1) + ASgtin.CompanyPrefix + ASgtin.ItemReference.substr(1);
  Digits += GtinCheckDigit(Digits);
  return Digits;
}

std::string SgtinPureUri(const TSgtin& ASgtin) {
  return "urn:epc:id:sgtin:" + ASgtin.CompanyPrefix + "." + ASgtin.ItemReference + "." + UriSerial(ASgtin.Serial);
}

std::string SgtinTagUri(const TSgtin& ASgtin) {
  return std::string("urn:epc:tag:") + (ASgtin.Scheme == TSgtinScheme::ssSgtin96 ? "sgtin-96:" : "sgtin-198:") +
         std::to_string(ASgtin.Filter) + "." + ASgtin.CompanyPrefix + "." + ASgtin.ItemReference + "." +
         UriSerial(ASgtin.Serial);
}
