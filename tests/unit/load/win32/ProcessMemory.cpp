#include "unit/load/ProcessMemory.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <vector>

namespace LoadTest {

// Each Open builds the real tag window's eight pictures and shows it: about
// 18 ms a cycle under Wine, so a quarter of the Linux count keeps the test
// under a minute.
const int kOpenCloseCycles = 2500;

// The kernel32 export (Windows 7 on), so no import library is needed.
std::size_t ResidentBytes() {
  PROCESS_MEMORY_COUNTERS Counters{};
  Counters.cb = sizeof Counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters)) return 0;
  return Counters.WorkingSetSize;
}

// The busy blocks of every heap of the process (the C library's among them).
std::size_t HeapBytesInUse() {
  std::vector<HANDLE> Heaps(GetProcessHeaps(0, nullptr) + 16);
  const DWORD Count = GetProcessHeaps(static_cast<DWORD>(Heaps.size()), Heaps.data());
  Heaps.resize(std::min<std::size_t>(Count, Heaps.size()));
  std::size_t Busy = 0;
  for (HANDLE Heap : Heaps) {
    if (!HeapLock(Heap)) continue;
    PROCESS_HEAP_ENTRY Entry{};
    while (HeapWalk(Heap, &Entry))
      if (Entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) Busy += Entry.cbData;
    HeapUnlock(Heap);
  }
  return Busy;
}

}  // namespace LoadTest
