/* Preloaded by the GTK help test: the process behaves as on a machine
 * without WebKitGTK, whose libraries then cannot be opened. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stddef.h>
#include <string.h>

void* dlopen(const char* AName, int AFlags) {
  static void* (*Real)(const char*, int);
  if (!Real) *(void**)(&Real) = dlsym(RTLD_NEXT, "dlopen");
  if (AName && strstr(AName, "libwebkit2gtk")) return NULL;
  return Real(AName, AFlags);
}
