#include "unit/load/ProcessMemory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace LoadTest {

const int kOpenCloseCycles = 10000;

// /proc/self/statm: total program size, then resident pages.
std::size_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  std::size_t Size = 0, Resident = 0;
  Statm >> Size >> Resident;
  return Resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Blocks handed out from the arenas plus those mapped on their own.
std::size_t HeapBytesInUse() {
  const struct mallinfo2 Info = mallinfo2();
  return Info.uordblks + Info.hblkhd;
}

}  // namespace LoadTest
