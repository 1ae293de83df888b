#pragma once
// Host-side values: what the platform puts into a value record before a call
// and what it reads back afterwards.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

#include "v8host/Abi.h"

namespace v8host {

class TMemoryManager;

// Calendar date and time as the platform's TM records carry it.
struct TDateTime {
  int Year = 1;
  int Month = 1;  // 1..12
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  bool operator==(const TDateTime&) const = default;
};

struct TValue {
  std::uint16_t Type = VTYPE_EMPTY;  // the whole 16-bit type word
  std::int64_t Int = 0;              // integer types, ERROR, HRESULT
  double Real = 0;                   // R4, R8, DATE
  bool Bool = false;                 // BOOL
  std::u16string Text;               // PWSTR
  std::string Bytes;                 // PSTR, BLOB
  TDateTime DateTime;                // TM
  bool NullPointer = false;          // a text or blob record with a null pointer
  std::uint32_t Length = 0;          // wstrLen / strLen as found in the record

  static TValue Empty() { return {}; }
  static TValue Null();
  static TValue I4(std::int32_t AValue);
  static TValue I8(std::int64_t AValue);
  static TValue R8(double AValue);
  static TValue Boolean(bool AValue);
  static TValue Date(double ADays);  // days since 1899-12-30
  static TValue Tm(const TDateTime& AValue);
  static TValue Text16(std::u16string_view AValue);
  static TValue Text8(std::string_view AUtf8);  // a PWSTR from UTF-8 source text
  static TValue PStr(std::string_view AValue);
  static TValue Blob(std::string_view ABytes);

  std::uint16_t Code() const noexcept { return Type & VTYPE_TYPEMASK; }
  bool Is(std::uint16_t AType) const noexcept { return Type == AType; }
  bool IsText() const noexcept { return Type == VTYPE_PWSTR; }
  std::string Utf8() const;  // the PWSTR text as UTF-8

  // The value as the CLI shows it: 42, 1.5, true, "text", 2026-12-08T10:00:00,
  // undefined, blob(3: 01 02 03).
  std::string Display() const;
};

// Same type word and same content (what Display shows, exactly).
bool operator==(const TValue& A, const TValue& B);
// Display() and the type name: 42 [I4] (also what GoogleTest prints).
std::ostream& operator<<(std::ostream& AOut, const TValue& AValue);

// "I4", "PWSTR", "I4|byref", "unknown(25)".
std::string TypeName(std::uint16_t AType);

// Gives the memory for a text or blob payload (ABytes bytes); never null.
using TPayloadAllocator = std::function<void*(std::size_t ABytes)>;

// Writes AValue into ARecord: the union, cbElements and the padding are
// zeroed first, then the value and the type word are set. Text and blob
// payloads (with their terminator) come from AAllocate.
void WriteRecord(TV8Variant& ARecord, const TValue& AValue, const TPayloadAllocator& AAllocate);

// Reads a record the add-in filled. Payload lengths come from the record's
// length fields; when AMemory knows the block, the read never goes past it.
TValue ReadRecord(const TV8Variant& ARecord, const TMemoryManager* AMemory = nullptr);

// The payload pointer of a text or blob record (PWSTR, PSTR, BLOB without
// flags), else null.
void* PayloadOf(const TV8Variant& ARecord) noexcept;

// Days since 1899-12-30 for a date and time, and back.
double ToOleDate(const TDateTime& AValue);
TDateTime FromOleDate(double ADays);

}  // namespace v8host
