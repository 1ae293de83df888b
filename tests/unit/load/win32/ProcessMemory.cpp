#include "unit/load/ProcessMemory.h"

#include <windows.h>
#include <psapi.h>

namespace LoadTest {

// The kernel32 export (Windows 7 on), so no import library is needed.
std::size_t ResidentBytes() {
  PROCESS_MEMORY_COUNTERS Counters{};
  Counters.cb = sizeof Counters;
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &Counters, sizeof Counters)) return 0;
  return Counters.WorkingSetSize;
}

}  // namespace LoadTest
