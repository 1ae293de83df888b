#pragma once
// The platform's services for the add-in (the connection passed to Init):
// records every AddError and ExternalEvent, answers the other operations
// harmlessly, and counts every call by operation.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "v8host/Abi.h"
#include "v8host/Tables.h"

namespace v8host {

struct TAddErrorRecord {
  unsigned short Code = 0;
  std::u16string Source;
  std::u16string Description;
  TV8Long SCode = 0;
};

struct TExternalEventRecord {
  std::u16string Source;
  std::u16string Message;
  std::u16string Data;
};

class THostServices {
 public:
  THostServices();
  THostServices(const THostServices&) = delete;
  THostServices& operator=(const THostServices&) = delete;

  // What the platform passes to Init.
  void* Interface() noexcept { return &FInterface; }

  const std::vector<TAddErrorRecord>& Errors() const noexcept { return FErrors; }
  const std::vector<TExternalEventRecord>& Events() const noexcept { return FEvents; }
  void Clear();

  // How many times the add-in called operation AOperation (ServiceOps).
  int CallCount(int AOperation) const noexcept;
  const std::u16string& StatusLine() const noexcept { return FStatusLine; }
  TV8Long EventBufferDepth() const noexcept { return FEventBufferDepth; }

  // Told of each report as it arrives (after it is recorded).
  std::function<void(const TAddErrorRecord&)> OnAddError;
  std::function<void(const TExternalEventRecord&)> OnExternalEvent;

 private:
  using TSelf = THostInterface<THostServices>;
  static bool V8HOST_CALL AddError(TSelf* ASelf, unsigned short ACode, const char16_t* ASource,
                                   const char16_t* ADescr, TV8Long ASCode) noexcept;
  static bool V8HOST_CALL Read(TSelf* ASelf, char16_t* AName, TV8Variant* AValue, TV8Long* AErrCode,
                               char16_t** AErrDescr) noexcept;
  static bool V8HOST_CALL Write(TSelf* ASelf, char16_t* AName, TV8Variant* AValue) noexcept;
  static bool V8HOST_CALL RegisterProfileAs(TSelf* ASelf, char16_t* AName) noexcept;
  static bool V8HOST_CALL SetEventBufferDepth(TSelf* ASelf, TV8Long ADepth) noexcept;
  static TV8Long V8HOST_CALL GetEventBufferDepth(TSelf* ASelf) noexcept;
  static bool V8HOST_CALL ExternalEvent(TSelf* ASelf, char16_t* ASource, char16_t* AMessage,
                                        char16_t* AData) noexcept;
  static void V8HOST_CALL CleanEventBuffer(TSelf* ASelf) noexcept;
  static bool V8HOST_CALL SetStatusLine(TSelf* ASelf, char16_t* AText) noexcept;
  static void V8HOST_CALL ResetStatusLine(TSelf* ASelf) noexcept;
  static void* V8HOST_CALL GetInterface(TSelf* ASelf, int AInterface) noexcept;

  static const THostTable<ServiceOps::Count> kTable;
  TSelf FInterface;
  std::vector<TAddErrorRecord> FErrors;
  std::vector<TExternalEventRecord> FEvents;
  std::array<int, ServiceOps::Count + 1> FCalls{};
  std::u16string FStatusLine;
  TV8Long FEventBufferDepth = 1;
};

}  // namespace v8host
