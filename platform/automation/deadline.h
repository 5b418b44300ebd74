// The time by which the work on the calling thread must end. A host sets it around a page run;
// long work inside a component (a statement the database runs, output written in a loop) asks
// for it, so that a page's script timeout also stops what the script called, not only the
// script itself. Without a scope on the thread there is no deadline.
#pragma once

#include <chrono>
#include <optional>

namespace automation {

class DeadlineScope {
 public:
  explicit DeadlineScope(std::chrono::steady_clock::time_point deadline);
  ~DeadlineScope();  // the enclosing scope's deadline holds again
  DeadlineScope(const DeadlineScope&) = delete;
  DeadlineScope& operator=(const DeadlineScope&) = delete;

 private:
  std::optional<std::chrono::steady_clock::time_point> enclosing_;
};

std::optional<std::chrono::steady_clock::time_point> currentDeadline();
bool pastDeadline();
// Raises the timeout error once the deadline has passed.
void checkDeadline();
[[noreturn]] void throwTimeout();

}  // namespace automation
