#pragma once
// How much memory this process holds right now, for load tests that compare
// it before and after: the resident set (Linux) or working set (Windows),
// and the bytes the C library's heap has handed out and not taken back.
#include <cstddef>

namespace LoadTest {

std::size_t ResidentBytes();
std::size_t HeapBytesInUse();

// Open/Close cycles of the tag window a load test runs on this system.
extern const int kOpenCloseCycles;

}  // namespace LoadTest
