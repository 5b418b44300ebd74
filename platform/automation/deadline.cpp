// The thread's deadline, kept in a thread-local: a page runs on one thread from start to end.
#include "automation/deadline.h"

#include "automation/error.h"

namespace automation {

namespace {
thread_local std::optional<std::chrono::steady_clock::time_point> deadline;
}

DeadlineScope::DeadlineScope(std::chrono::steady_clock::time_point at) : enclosing_(deadline) {
  deadline = at;
}

DeadlineScope::~DeadlineScope() { deadline = enclosing_; }

std::optional<std::chrono::steady_clock::time_point> currentDeadline() { return deadline; }

bool pastDeadline() { return deadline && std::chrono::steady_clock::now() > *deadline; }

void checkDeadline() {
  if (pastDeadline()) throwTimeout();
}

void throwTimeout() {
  // As script engines word their own timeout, so a page's failure reads the same wherever it
  // stopped.
  throw AutomationError(hr::kFail, u"Script timeout", u"script timed out");
}

}  // namespace automation
