#pragma once
// Equipment kinds of the connected-equipment standard and the value types
// of driver settings, with the texts the XML documents carry.
#include <cstdint>
#include <string>

enum TEquipmentType : std::uint8_t {
  etScanner, etMCR, etFR, etReceiptPrinter, etLabelPrinter, etCustomerDisplay, etDataCollectionTerminal,
  etAcquiringTerminal, etScale, etPrintingScale, etRFIDReader, etECR, etVideocamera, etUnknown,
};

// Raises "Enum value unacceptable" outside the enumeration.
std::u16string EquipmentTypeName(int AType);

// Value type codes of a setting: 0 String, 1 Number, 2 Boolean, 3 Unknown.
std::u16string ValueTypeName(int ACode);
