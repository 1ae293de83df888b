#include "v8host/Records.h"

#include <cstring>

#include "v8host/Error.h"
#include "v8host/Memory.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace v8host {

namespace {

// Bytes of the union that carry the value of a record of type AType.
std::size_t ValueBytes(std::uint16_t AType) {
  switch (AType) {
    case VTYPE_I1: case VTYPE_UI1: case VTYPE_BOOL: return 1;
    case VTYPE_I2: case VTYPE_UI2: return 2;
    case VTYPE_I4: case VTYPE_UI4: case VTYPE_INT: case VTYPE_UINT: case VTYPE_R4: case VTYPE_ERROR:
    case VTYPE_HRESULT: return 4;
    case VTYPE_I8: case VTYPE_UI8: case VTYPE_R8: case VTYPE_DATE: return 8;
    case VTYPE_TM: return sizeof(TV8Tm);
    case VTYPE_CLSID: return sizeof(TV8Guid);
    case VTYPE_PWSTR: case VTYPE_PSTR: case VTYPE_BLOB: return sizeof(void*) + 4;
    case VTYPE_EMPTY: case VTYPE_NULL: return 0;
    default: return kValueUnionSize;
  }
}

#if defined(_WIN32)
void* MapPages(std::size_t ABytes, std::size_t AGuard) {
  void* mapping = VirtualAlloc(nullptr, ABytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (mapping == nullptr) throw THostError("VirtualAlloc failed");
  DWORD old = 0;
  if (!VirtualProtect(static_cast<char*>(mapping) + AGuard, PageSize(), PAGE_NOACCESS, &old)) {
    VirtualFree(mapping, 0, MEM_RELEASE);
    throw THostError("VirtualProtect failed");
  }
  return mapping;
}
void UnmapPages(void* AMapping, std::size_t) { VirtualFree(AMapping, 0, MEM_RELEASE); }
#else
void* MapPages(std::size_t ABytes, std::size_t AGuard) {
  void* mapping = mmap(nullptr, ABytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw THostError("mmap failed");
  if (mprotect(static_cast<char*>(mapping) + AGuard, PageSize(), PROT_NONE) != 0) {
    munmap(mapping, ABytes);
    throw THostError("mprotect failed");
  }
  return mapping;
}
void UnmapPages(void* AMapping, std::size_t ABytes) { munmap(AMapping, ABytes); }
#endif

}  // namespace

std::size_t PageSize() noexcept {
#if defined(_WIN32)
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#endif
}

TRecordArray::TRecordArray(std::size_t ACount, TPlacement APlacement) : FCount(ACount), FPlacement(APlacement) {
  if (APlacement == TPlacement::plHeap) {
    FHeap.resize(ACount == 0 ? 1 : ACount);
    std::memset(static_cast<void*>(FHeap.data()), 0, FHeap.size() * sizeof(TV8Variant));
    FRecords = FHeap.data();
    return;
  }
  const std::size_t page = PageSize();
  const std::size_t bytes = ACount * sizeof(TV8Variant);
  const std::size_t guard = (bytes + page - 1) / page * page;  // offset of the no-access page
  FMappingSize = guard + page;
  FMapping = MapPages(FMappingSize, guard);
  FRecords = reinterpret_cast<TV8Variant*>(static_cast<char*>(FMapping) + guard - bytes);
  std::memset(static_cast<void*>(FRecords), 0, bytes);
}

TRecordArray::~TRecordArray() {
  if (FMapping) UnmapPages(FMapping, FMappingSize);
}

void TRecordArray::Set(std::size_t AIndex, const TValue& AValue, TMemoryManager& AMemory, TStringStorage AStorage) {
  if (AIndex >= FCount) throw THostError("record index out of range");
  if (AStorage == TStringStorage::ssMemoryManager) {
    WriteRecord(FRecords[AIndex], AValue, [&AMemory](std::size_t ABytes) { return AMemory.Allocate(ABytes); });
  } else {
    WriteRecord(FRecords[AIndex], AValue, [this](std::size_t ABytes) {
      FPayloads.push_back(std::make_unique<unsigned char[]>(ABytes));
      return static_cast<void*>(FPayloads.back().get());
    });
  }
}

void TRecordArray::FillUnusedBytes(unsigned char AByte) {
  for (std::size_t i = 0; i < FCount; ++i) {
    TV8Variant& record = FRecords[i];
    const std::size_t used = ValueBytes(record.vt);
    std::memset(record.raw + used, AByte, sizeof record.raw - used);
    record.padding = static_cast<std::uint16_t>(AByte << 8 | AByte);
  }
}

bool TRecordArray::OwnsPayload(const void* APointer) const noexcept {
  for (const auto& payload : FPayloads)
    if (payload.get() == APointer) return true;
  return false;
}

}  // namespace v8host
