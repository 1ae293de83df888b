#include "v8host/Memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace v8host {

namespace {
// New blocks are filled with this byte so that an add-in which relies on
// zeroed memory, or forgets a terminator, shows it.
constexpr unsigned char kFreshFill = 0xA5;
constexpr unsigned char kFreedFill = 0xDD;
constexpr std::size_t kQuarantineBlocks = 4096;

const char* KindName(TMemoryError::TKind AKind) {
  switch (AKind) {
    case TMemoryError::mkDoubleFree: return "double free";
    case TMemoryError::mkUnknownFree: return "free of an unknown block";
    case TMemoryError::mkNullReference: return "null reference";
  }
  return "?";
}
}  // namespace

const THostTable<MemoryOps::Count> TMemoryManager::kTable({
    AsSlot(&TMemoryManager::AllocMemory),
    AsSlot(&TMemoryManager::FreeMemory),
});

TMemoryManager::TMemoryManager() : FInterface{kTable.Pointer(), this} {}

TMemoryManager::~TMemoryManager() {
  for (const auto& [block, size] : FLive) std::free(const_cast<void*>(block));
  for (void* block : FQuarantine) std::free(block);
}

void TMemoryManager::ResetRulesLocked() {
  FGrantsLeft.reset();
  FRefuseOnly.reset();
  FRefuseFrom.reset();
  FCountedCalls = 0;
}

void TMemoryManager::RefuseAll() {
  std::lock_guard lock(FLock);
  ResetRulesLocked();
  FGrantsLeft = 0;
}

void TMemoryManager::RefuseAfter(std::size_t AGranted) {
  std::lock_guard lock(FLock);
  ResetRulesLocked();
  FGrantsLeft = AGranted;
}

void TMemoryManager::RefuseOnly(std::size_t ANth) {
  std::lock_guard lock(FLock);
  ResetRulesLocked();
  FRefuseOnly = ANth;
}

void TMemoryManager::RefuseFrom(std::size_t ANth) {
  std::lock_guard lock(FLock);
  ResetRulesLocked();
  FRefuseFrom = ANth;
}

void TMemoryManager::AcceptAll() {
  std::lock_guard lock(FLock);
  ResetRulesLocked();
}

bool TMemoryManager::RefusesLocked() {
  const std::size_t call = ++FCountedCalls;
  if (FGrantsLeft && *FGrantsLeft == 0) return true;
  if (FRefuseOnly && call == *FRefuseOnly) return true;
  return FRefuseFrom && call >= *FRefuseFrom;
}

void* TMemoryManager::AllocateLocked(std::size_t ABytes) {
  void* block = std::malloc(ABytes == 0 ? 1 : ABytes);
  if (block == nullptr) return nullptr;
  std::memset(block, kFreshFill, ABytes == 0 ? 1 : ABytes);
  FLive[block] = ABytes;
  return block;
}

void TMemoryManager::FreeLocked(void* ABlock, const char* AOperation) {
  const auto live = FLive.find(ABlock);
  if (live == FLive.end()) {
    const bool freed = FFreed.count(ABlock) != 0;
    FErrors.push_back({freed ? TMemoryError::mkDoubleFree : TMemoryError::mkUnknownFree, ABlock, AOperation});
    return;
  }
  std::memset(ABlock, kFreedFill, live->second == 0 ? 1 : live->second);
  FLive.erase(live);
  FFreed.insert(ABlock);
  FQuarantine.push_back(ABlock);
  if (FQuarantine.size() > kQuarantineBlocks) {
    FFreed.erase(FQuarantine.front());
    std::free(FQuarantine.front());
    FQuarantine.pop_front();
  }
}

void* TMemoryManager::Allocate(std::size_t ABytes) {
  std::lock_guard lock(FLock);
  return AllocateLocked(ABytes);
}

void TMemoryManager::Free(void* ABlock) {
  if (ABlock == nullptr) return;
  std::lock_guard lock(FLock);
  FreeLocked(ABlock, "host free");
}

bool TMemoryManager::FreeIfLive(void* ABlock) {
  std::lock_guard lock(FLock);
  if (FLive.count(ABlock) == 0) return false;
  FreeLocked(ABlock, "host free");
  return true;
}

bool TMemoryManager::IsLive(const void* ABlock) const {
  std::lock_guard lock(FLock);
  return FLive.count(ABlock) != 0;
}

std::optional<std::size_t> TMemoryManager::BlockSize(const void* ABlock) const {
  std::lock_guard lock(FLock);
  const auto live = FLive.find(ABlock);
  if (live == FLive.end()) return std::nullopt;
  return live->second;
}

std::size_t TMemoryManager::LiveBlocks() const {
  std::lock_guard lock(FLock);
  return FLive.size();
}

std::size_t TMemoryManager::LiveBytes() const {
  std::lock_guard lock(FLock);
  std::size_t total = 0;
  for (const auto& [block, size] : FLive) total += size;
  return total;
}

std::vector<const void*> TMemoryManager::LiveBlockList() const {
  std::lock_guard lock(FLock);
  std::vector<const void*> blocks;
  blocks.reserve(FLive.size());
  for (const auto& [block, size] : FLive) blocks.push_back(block);
  return blocks;
}

std::vector<std::size_t> TMemoryManager::Requests() const {
  std::lock_guard lock(FLock);
  return FRequests;
}

void TMemoryManager::ClearRequests() {
  std::lock_guard lock(FLock);
  FRequests.clear();
}

std::size_t TMemoryManager::Granted() const {
  std::lock_guard lock(FLock);
  return FGranted;
}

std::size_t TMemoryManager::Refused() const {
  std::lock_guard lock(FLock);
  return FRefused;
}

std::size_t TMemoryManager::AddinFrees() const {
  std::lock_guard lock(FLock);
  return FAddinFrees;
}

std::vector<TMemoryError> TMemoryManager::Errors() const {
  std::lock_guard lock(FLock);
  return FErrors;
}

void TMemoryManager::ClearErrors() {
  std::lock_guard lock(FLock);
  FErrors.clear();
}

std::string TMemoryManager::ErrorReport() const {
  std::lock_guard lock(FLock);
  std::string report;
  for (const auto& error : FErrors) {
    char address[32];
    std::snprintf(address, sizeof address, "%p", error.Block);
    report += error.Operation + ": " + KindName(error.Kind) + " " + address + "\n";
  }
  return report;
}

bool V8HOST_CALL TMemoryManager::AllocMemory(THostInterface<TMemoryManager>* ASelf, void** ABlock,
                                             TV8ULong ABytes) noexcept {
  TMemoryManager& self = *ASelf->Owner;
  std::lock_guard lock(self.FLock);
  self.FRequests.push_back(ABytes);
  if (ABlock == nullptr) {
    self.FErrors.push_back({TMemoryError::mkNullReference, nullptr, "AllocMemory"});
    return false;
  }
  if (self.RefusesLocked()) {
    ++self.FRefused;
    return false;  // the reference is left as it was
  }
  void* block = self.AllocateLocked(ABytes);
  if (block == nullptr) {
    ++self.FRefused;
    return false;
  }
  if (self.FGrantsLeft) --*self.FGrantsLeft;
  ++self.FGranted;
  *ABlock = block;
  return true;
}

void V8HOST_CALL TMemoryManager::FreeMemory(THostInterface<TMemoryManager>* ASelf, void** ABlock) noexcept {
  TMemoryManager& self = *ASelf->Owner;
  std::lock_guard lock(self.FLock);
  ++self.FAddinFrees;
  if (ABlock == nullptr) {
    self.FErrors.push_back({TMemoryError::mkNullReference, nullptr, "FreeMemory"});
    return;
  }
  if (*ABlock == nullptr) return;  // like free(NULL)
  self.FreeLocked(*ABlock, "FreeMemory");
  *ABlock = nullptr;
}

}  // namespace v8host
