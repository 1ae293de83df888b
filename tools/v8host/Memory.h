#pragma once
// The platform's memory manager: hands blocks to the add-in and takes back
// the blocks the add-in hands to the platform. It keeps an account of every
// live block, records frees it cannot match (double or unknown), and can be
// told to refuse the add-in's allocations.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "v8host/Abi.h"
#include "v8host/Tables.h"

namespace v8host {

struct TMemoryError {
  enum TKind {
    mkDoubleFree,    // a block freed a second time
    mkUnknownFree,   // a pointer this manager never handed out
    mkNullReference  // AllocMemory or FreeMemory called with a null reference
  };
  TKind Kind;
  const void* Block;
  std::string Operation;  // "FreeMemory" (the add-in), "host free" (the platform), ...
};

class TMemoryManager {
 public:
  TMemoryManager();
  ~TMemoryManager();  // releases the blocks still live
  TMemoryManager(const TMemoryManager&) = delete;
  TMemoryManager& operator=(const TMemoryManager&) = delete;

  // What the platform passes to setMemManager.
  void* Interface() noexcept { return &FInterface; }

  // Refusal of the add-in's AllocMemory calls (the platform's own
  // allocations below are never refused).
  void RefuseAll();
  void RefuseAfter(std::size_t AGranted);  // grant AGranted more, then refuse
  // Counted in AllocMemory calls from now on, the first being 1: refuse the
  // ANth call only, or the ANth and every later one. Fault sweeps use them
  // to fail each allocation of a session in turn.
  void RefuseOnly(std::size_t ANth);
  void RefuseFrom(std::size_t ANth);
  void AcceptAll();

  // The platform's side: a block of ABytes (counted like the add-in's), and
  // the release of a block the platform owns (a text the add-in returned).
  void* Allocate(std::size_t ABytes);
  void Free(void* ABlock);
  // Releases ABlock only if it is live; true when it was.
  bool FreeIfLive(void* ABlock);

  bool IsLive(const void* ABlock) const;
  // Size of the live block that starts at ABlock, if there is one.
  std::optional<std::size_t> BlockSize(const void* ABlock) const;
  std::size_t LiveBlocks() const;
  std::size_t LiveBytes() const;
  // The live blocks' addresses, in address order.
  std::vector<const void*> LiveBlockList() const;

  // The add-in's AllocMemory calls: every requested size (granted or not),
  // how many were granted and refused, and how many FreeMemory calls came.
  std::vector<std::size_t> Requests() const;
  // Forgets the recorded sizes (the counts stay): a long run keeps its own
  // bookkeeping from growing with every call.
  void ClearRequests();
  std::size_t Granted() const;
  std::size_t Refused() const;
  std::size_t AddinFrees() const;

  std::vector<TMemoryError> Errors() const;
  void ClearErrors();
  // Readable description of every error, one per line (for test messages).
  std::string ErrorReport() const;

 private:
  static bool V8HOST_CALL AllocMemory(THostInterface<TMemoryManager>* ASelf, void** ABlock, TV8ULong ABytes) noexcept;
  static void V8HOST_CALL FreeMemory(THostInterface<TMemoryManager>* ASelf, void** ABlock) noexcept;

  void* AllocateLocked(std::size_t ABytes);
  // Whether the add-in's current AllocMemory call is to be refused.
  bool RefusesLocked();
  void ResetRulesLocked();
  void FreeLocked(void* ABlock, const char* AOperation);

  static const THostTable<MemoryOps::Count> kTable;
  THostInterface<TMemoryManager> FInterface;
  mutable std::mutex FLock;
  std::map<const void*, std::size_t> FLive;
  // Released blocks are held back (filled with a marker) before they go back
  // to the C library, so their address cannot be reused meanwhile: a second
  // free of one is then told apart from the free of a stranger, and reading
  // a released block shows the marker.
  std::set<const void*> FFreed;
  std::deque<void*> FQuarantine;
  std::vector<std::size_t> FRequests;
  std::size_t FGranted = 0;
  std::size_t FRefused = 0;
  std::size_t FAddinFrees = 0;
  std::optional<std::size_t> FGrantsLeft;  // unset: grant everything
  std::optional<std::size_t> FRefuseOnly;  // RefuseOnly's ordinal
  std::optional<std::size_t> FRefuseFrom;  // RefuseFrom's ordinal
  std::size_t FCountedCalls = 0;           // AllocMemory calls since the rule was set
  std::vector<TMemoryError> FErrors;
};

}  // namespace v8host
