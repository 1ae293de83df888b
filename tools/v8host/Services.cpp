#include "v8host/Services.h"

#include "v8host/Text.h"

namespace v8host {

const THostTable<ServiceOps::Count> THostServices::kTable({
    AsSlot(&THostServices::AddError),
    AsSlot(&THostServices::Read),
    AsSlot(&THostServices::Write),
    AsSlot(&THostServices::RegisterProfileAs),
    AsSlot(&THostServices::SetEventBufferDepth),
    AsSlot(&THostServices::GetEventBufferDepth),
    AsSlot(&THostServices::ExternalEvent),
    AsSlot(&THostServices::CleanEventBuffer),
    AsSlot(&THostServices::SetStatusLine),
    AsSlot(&THostServices::ResetStatusLine),
    AsSlot(&THostServices::GetInterface),
});

THostServices::THostServices() : FInterface{kTable.Pointer(), this} {}

void THostServices::Clear() {
  FErrors.clear();
  FEvents.clear();
  FCalls.fill(0);
}

int THostServices::CallCount(int AOperation) const noexcept {
  if (AOperation < 1 || AOperation > ServiceOps::Count) return 0;
  return FCalls[static_cast<std::size_t>(AOperation)];
}

// A callback that throws must not unwind into the add-in: it is dropped.
template <typename TRecord>
static void Notify(const std::function<void(const TRecord&)>& ACallback, const TRecord& ARecord) noexcept {
  if (!ACallback) return;
  try {
    ACallback(ARecord);
  } catch (...) {
  }
}

bool V8HOST_CALL THostServices::AddError(TSelf* ASelf, unsigned short ACode, const char16_t* ASource,
                                         const char16_t* ADescr, TV8Long ASCode) noexcept {
  THostServices& self = *ASelf->Owner;
  ++self.FCalls[ServiceOps::AddError];
  try {
    self.FErrors.push_back({ACode, WideCopy(ASource), WideCopy(ADescr), ASCode});
  } catch (...) {
    return false;
  }
  Notify(self.OnAddError, self.FErrors.back());
  return true;
}

bool V8HOST_CALL THostServices::Read(TSelf* ASelf, char16_t*, TV8Variant*, TV8Long*, char16_t**) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::Read];
  return false;  // the harness keeps no stored settings
}

bool V8HOST_CALL THostServices::Write(TSelf* ASelf, char16_t*, TV8Variant*) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::Write];
  return false;
}

bool V8HOST_CALL THostServices::RegisterProfileAs(TSelf* ASelf, char16_t*) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::RegisterProfileAs];
  return true;
}

bool V8HOST_CALL THostServices::SetEventBufferDepth(TSelf* ASelf, TV8Long ADepth) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::SetEventBufferDepth];
  ASelf->Owner->FEventBufferDepth = ADepth;
  return true;
}

TV8Long V8HOST_CALL THostServices::GetEventBufferDepth(TSelf* ASelf) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::GetEventBufferDepth];
  return ASelf->Owner->FEventBufferDepth;
}

bool V8HOST_CALL THostServices::ExternalEvent(TSelf* ASelf, char16_t* ASource, char16_t* AMessage,
                                              char16_t* AData) noexcept {
  THostServices& self = *ASelf->Owner;
  ++self.FCalls[ServiceOps::ExternalEvent];
  try {
    self.FEvents.push_back({WideCopy(ASource), WideCopy(AMessage), WideCopy(AData)});
  } catch (...) {
    return false;
  }
  Notify(self.OnExternalEvent, self.FEvents.back());
  return true;
}

void V8HOST_CALL THostServices::CleanEventBuffer(TSelf* ASelf) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::CleanEventBuffer];
}

bool V8HOST_CALL THostServices::SetStatusLine(TSelf* ASelf, char16_t* AText) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::SetStatusLine];
  try {
    ASelf->Owner->FStatusLine = WideCopy(AText);
  } catch (...) {
    return false;
  }
  return true;
}

void V8HOST_CALL THostServices::ResetStatusLine(TSelf* ASelf) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::ResetStatusLine];
  ASelf->Owner->FStatusLine.clear();
}

void* V8HOST_CALL THostServices::GetInterface(TSelf* ASelf, int) noexcept {
  ++ASelf->Owner->FCalls[ServiceOps::GetInterface];
  return nullptr;  // no optional platform interfaces are offered
}

}  // namespace v8host
