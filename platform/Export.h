#pragma once
// Marks the add-in's entry points as visible outside the library. Windows
// exports them through the module definition file; elsewhere the rest of
// the library is hidden and only these are made visible.
#if defined(_WIN32)
#define QUORVEL_EXPORT
#else
#define QUORVEL_EXPORT __attribute__((visibility("default")))
#endif
