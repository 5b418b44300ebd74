// The page executor: one ready queue served by the workers, and per key a queue of what waits
// for the key's running piece. When a piece ends, the next of its key moves to the ready queue.
#include "page_executor.h"

#include <algorithm>

namespace host {

PageExecutor::PageExecutor(ExecutorSettings settings) : settings_(settings) {
  int n = std::max(1, settings_.workers);
  workers_.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) workers_.emplace_back([this] { work(); });
}

PageExecutor::~PageExecutor() { stop(); }

bool PageExecutor::submit(const std::string& key, Task task) {
  std::lock_guard lock(mutex_);
  if (stopping_ || pending_ >= settings_.maxPending) return false;
  if (key.empty()) {
    readyItems_.push_back({key, std::move(task)});
  } else {
    Queue& q = queues_[key];
    std::size_t ofKey = q.waiting.size() + (q.active ? 1 : 0);
    if (ofKey >= settings_.maxPerKey) {
      if (!q.active && q.waiting.empty()) queues_.erase(key);
      return false;
    }
    if (q.active) {
      q.waiting.push_back(std::move(task));
    } else {
      q.active = true;
      readyItems_.push_back({key, std::move(task)});
    }
  }
  ++pending_;
  ready_.notify_one();
  return true;
}

void PageExecutor::work() {
  std::unique_lock lock(mutex_);
  while (true) {
    ready_.wait(lock, [this] { return !readyItems_.empty() || (stopping_ && pending_ == 0); });
    if (readyItems_.empty()) return;
    Item item = std::move(readyItems_.front());
    readyItems_.pop_front();
    ++running_;
    lock.unlock();
    item.task();
    item.task = nullptr;  // what the task holds goes before the next piece of its key starts
    lock.lock();
    --running_;
    done(item.key);
  }
}

void PageExecutor::done(const std::string& key) {
  --pending_;
  if (!key.empty()) {
    auto it = queues_.find(key);
    if (it->second.waiting.empty()) {
      queues_.erase(it);
    } else {
      readyItems_.push_back({key, std::move(it->second.waiting.front())});
      it->second.waiting.pop_front();
      ready_.notify_one();
    }
  }
  if (stopping_ && pending_ == 0) ready_.notify_all();
}

void PageExecutor::stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ && workers_.empty()) return;
    stopping_ = true;
  }
  ready_.notify_all();
  for (std::thread& t : workers_) t.join();
  workers_.clear();
}

std::size_t PageExecutor::pending() const {
  std::lock_guard lock(mutex_);
  return pending_;
}

std::size_t PageExecutor::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

}  // namespace host
