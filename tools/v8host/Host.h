#pragma once
// The platform's side of one session: its memory manager and its services,
// shared by every component object the session creates.
#include "v8host/Memory.h"
#include "v8host/Services.h"

namespace v8host {

struct THost {
  TMemoryManager Memory;
  THostServices Services;
};

}  // namespace v8host
