#pragma once
// Owner of one libzint barcode symbol (TZintSymbol): created and reset on
// construction, freed with everything it rendered on destruction.
#include <zint.h>

class TZintSymbol {
public:
  TZintSymbol();
  TZintSymbol(const TZintSymbol&) = delete;
  TZintSymbol& operator=(const TZintSymbol&) = delete;
  ~TZintSymbol();

  zint_symbol* operator->() const noexcept { return FSymbol; }
  zint_symbol* Get() const noexcept { return FSymbol; }

private:
  zint_symbol* FSymbol;
};
