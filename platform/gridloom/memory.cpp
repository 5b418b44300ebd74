// Host memory functions: the allocator every block exchanged with plug-ins comes from.
#include <cstdio>
#include <cstdlib>

#include "gridloom/gridloom.h"

extern "C" void* malloc_or_die(size_t size) {
  // malloc(0) may return null; callers rely on a usable block whatever the size.
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) {
    std::fprintf(stderr, "gridloom: out of memory allocating %zu bytes\n", size);
    std::abort();
  }
  return block;
}

extern "C" void safe_free(void* block) { std::free(block); }
