#include "rfid/BarcodeSymbol.h"

#include <new>

TZintSymbol::TZintSymbol() : FSymbol(ZBarcode_Create()) {
  if (!FSymbol) throw std::bad_alloc();
  ZBarcode_Clear(FSymbol);
}

TZintSymbol::~TZintSymbol() { ZBarcode_Delete(FSymbol); }
