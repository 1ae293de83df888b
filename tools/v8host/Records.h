#pragma once
// A contiguous array of value records as the platform passes parameters:
// on the heap, or placed so that it ends exactly where a no-access page
// begins (any read or write past the last record faults at once).
#include <cstddef>
#include <memory>
#include <vector>

#include "v8host/Abi.h"
#include "v8host/Value.h"

namespace v8host {

enum class TPlacement {
  plHeap,
  plBeforeNoAccessPage
};

// Where the texts and blobs the platform puts into records live.
enum class TStringStorage {
  ssMemoryManager,  // blocks of the harness's memory manager, as the platform does
  ssHarness         // memory the harness owns outside the manager
};

class TRecordArray {
 public:
  // ACount zeroed records (EMPTY).
  explicit TRecordArray(std::size_t ACount, TPlacement APlacement = TPlacement::plHeap);
  ~TRecordArray();
  TRecordArray(const TRecordArray&) = delete;
  TRecordArray& operator=(const TRecordArray&) = delete;

  TV8Variant* Data() noexcept { return FRecords; }
  std::size_t Size() const noexcept { return FCount; }
  TV8Variant& operator[](std::size_t AIndex) noexcept { return FRecords[AIndex]; }

  // Writes AValue into record AIndex; its payload comes from AMemory or, for
  // ssHarness, from storage this array owns.
  void Set(std::size_t AIndex, const TValue& AValue, TMemoryManager& AMemory,
           TStringStorage AStorage = TStringStorage::ssMemoryManager);
  // Fills the bytes that carry no value (the two padding bytes after the
  // type word, and the union's bytes past the value) with AByte, the way an
  // uninitialised platform variable may look.
  void FillUnusedBytes(unsigned char AByte = 0xCC);

  // True when APointer is a payload this array owns (ssHarness).
  bool OwnsPayload(const void* APointer) const noexcept;

 private:
  std::size_t FCount;
  TPlacement FPlacement;
  void* FMapping = nullptr;
  std::size_t FMappingSize = 0;
  std::vector<TV8Variant> FHeap;
  TV8Variant* FRecords = nullptr;
  std::vector<std::unique_ptr<unsigned char[]>> FPayloads;
};

// Size of the memory pages the no-access placement works with.
std::size_t PageSize() noexcept;

}  // namespace v8host
