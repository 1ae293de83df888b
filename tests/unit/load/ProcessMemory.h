#pragma once
// How much memory this process holds right now: the resident set (Linux),
// the working set (Windows). Load tests compare it before and after.
#include <cstddef>

namespace LoadTest {

std::size_t ResidentBytes();

}  // namespace LoadTest
