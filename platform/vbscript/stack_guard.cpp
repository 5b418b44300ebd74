// The stack check: the lowest address each thread may reach is found once per thread (reading
// the thread's attributes is not cheap) and compared with the current frame's address.
#include "stack_guard.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>

namespace vbscript {

namespace {

const char* stackLimitOfThisThread() {
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return nullptr;
  void* base = nullptr;
  std::size_t size = 0;
  pthread_attr_getstack(&attr, &base, &size);
  pthread_attr_destroy(&attr);
  std::size_t margin = std::min<std::size_t>(256 * 1024, size / 4);
  return static_cast<const char*>(base) + margin;
}

}  // namespace

bool stackNearlyExhausted() {
  thread_local const char* const limit = stackLimitOfThisThread();
  const char* here = static_cast<const char*>(__builtin_frame_address(0));
  return limit && here < limit;
}

}  // namespace vbscript
