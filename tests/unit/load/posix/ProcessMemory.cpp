#include "unit/load/ProcessMemory.h"

#include <unistd.h>

#include <fstream>

namespace LoadTest {

// /proc/self/statm: total program size, then resident pages.
std::size_t ResidentBytes() {
  std::ifstream Statm("/proc/self/statm");
  std::size_t Size = 0, Resident = 0;
  Statm >> Size >> Resident;
  return Resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace LoadTest
