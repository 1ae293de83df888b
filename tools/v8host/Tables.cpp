#include "v8host/Tables.h"

#include <cstdio>
#include <cstdlib>

namespace v8host {

void HostDestructorCalled() noexcept {
  std::fputs("v8host: the add-in called the destructor slot of a host interface\n", stderr);
  std::fflush(stderr);
  std::abort();
}

}  // namespace v8host
