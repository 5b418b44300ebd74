// Sessions of the HTTP host: a random 128-bit id (sent in an HttpOnly cookie), the session's
// values, an idle timeout (the session's own Timeout, in minutes) and a lock that makes the
// requests of one session run one at a time, so that page state kept in the session never
// interleaves. Different sessions run in parallel.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "asp/session.h"

namespace host {

class SessionStore {
  struct Entry;

 public:
  using Clock = std::chrono::steady_clock;

  // Holds the session's lock for the duration of one request.
  class Lease {
   public:
    Lease(SessionStore& store, std::shared_ptr<Entry> entry, bool isNew);
    ~Lease();
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;
    const std::shared_ptr<asp::Session>& session() const;
    const std::string& id() const;
    bool isNew() const { return isNew_; }

   private:
    SessionStore& store_;
    std::shared_ptr<Entry> entry_;
    std::unique_lock<std::mutex> lock_;
    bool isNew_;
  };

  explicit SessionStore(int timeoutMinutes = 20) : timeoutMinutes_(timeoutMinutes) {}

  // The session of `id`, or a new one when `id` is unknown or expired; waits for the session's
  // other request to finish. nullptr when `maxRequests` requests of the session are already
  // running or waiting (0: no limit), so that one client cannot hold every worker.
  std::unique_ptr<Lease> acquire(std::string_view id, int maxRequests = 0);
  // Forgets sessions idle for longer than their timeout at `now`.
  void expireIdle(Clock::time_point now);
  std::size_t size() const;

  static std::string newSessionId();

 private:
  void release(Entry& entry, int timeoutMinutes, bool abandoned);
  void sweep(Clock::time_point now);  // with mutex_ held

  int timeoutMinutes_;
  mutable std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Entry>, std::less<>> sessions_;
  Clock::time_point lastSweep_ = Clock::now();
};

}  // namespace host
