// The page executor: the worker threads that run pages, apart from the HTTP edge's I/O threads.
// Work is submitted under a key (a session's id): work of one key runs one piece at a time, in
// the order submitted, and a piece waiting for its key sits in that key's queue without holding
// a worker. A bound on running plus waiting work, overall and per key, refuses the rest at once
// (the edge answers 503), so that a flood queues nowhere.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace host {

struct ExecutorSettings {
  int workers = 8;
  std::size_t maxPending = 1024;  // running plus waiting, all keys
  std::size_t maxPerKey = 16;     // running plus waiting, one key
};

class PageExecutor {
 public:
  using Task = std::function<void()>;

  explicit PageExecutor(ExecutorSettings settings);
  ~PageExecutor();  // stop()
  PageExecutor(const PageExecutor&) = delete;
  PageExecutor& operator=(const PageExecutor&) = delete;

  // False when a bound is reached; `task` is then dropped. An empty key runs in parallel with
  // everything.
  bool submit(const std::string& key, Task task);
  // Lets the work already accepted finish, then joins the workers; later submits are refused.
  void stop();

  std::size_t pending() const;  // running plus waiting
  std::size_t running() const;

 private:
  struct Item {
    std::string key;
    Task task;
  };
  struct Queue {
    bool active = false;  // a piece of this key is running or ready
    std::deque<Task> waiting;
  };

  void work();
  void done(const std::string& key);  // with mutex_ held

  ExecutorSettings settings_;
  mutable std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Item> readyItems_;
  std::map<std::string, Queue, std::less<>> queues_;
  std::size_t pending_ = 0;
  std::size_t running_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace host
