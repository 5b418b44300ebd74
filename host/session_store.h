// Sessions of a site: an unguessable 128-bit token for each (the cookie's value; pages see the
// session's own SessionID), the session's values and an idle timeout (the session's Timeout, in
// minutes). A new session is stored only once a page has used it, so that requests without a
// cookie leave nothing behind. The requests of one session never run at once: the page executor
// queues them under the token; the store only counts them, so that a session in use never
// expires. The number of sessions is capped: storing one more ends the one idle longest. What
// one session keeps is limited by the limits each session is made with.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "asp/session.h"

namespace host {

struct SessionCaps {
  std::size_t maxSessions = 0;  // 0: no cap
  asp::SessionLimits limits;    // of each session
};

class SessionStore {
 public:
  using Clock = std::chrono::steady_clock;

  struct Entry {
    std::string token;  // given when the session is first stored; changed by renew()
    std::shared_ptr<asp::Session> session;
    // The store's own bookkeeping, guarded by its mutex.
    Clock::time_point lastUsed = Clock::now();
    int timeoutMinutes = 20;
    int users = 0;  // requests holding or waiting for the session
    bool stored = false;
  };
  using EntryRef = std::shared_ptr<Entry>;

  explicit SessionStore(int timeoutMinutes = 20, SessionCaps caps = {})
      : timeoutMinutes_(timeoutMinutes), caps_(caps) {}

  // The live session of `token`, counted as in use until release(); nullptr when the token is
  // unknown or its session has expired.
  EntryRef find(std::string_view token);
  // A new session, counted as in use; unknown to find() until stored, when it gets its token.
  EntryRef create();
  // At the cap, the stored session idle longest (held by no request) leaves the store to make
  // room and is given back: its end is due. nullptr when none had to go.
  EntryRef store(const EntryRef& entry);
  // A stored session goes on under a new token; the old one finds nothing from now on.
  void renew(const EntryRef& entry);
  // The request is done with the session; an abandoned session leaves the store.
  void release(const EntryRef& entry);
  // Removes the session, e.g. when render keeps it in a file instead.
  void forget(const EntryRef& entry);

  // Sessions idle for longer than their timeout at `now`, removed: their end is due. Checks at
  // most every `every`.
  std::vector<EntryRef> takeExpired(Clock::time_point now,
                                    Clock::duration every = std::chrono::seconds(30));
  // Every stored session, removed: the site is closing.
  std::vector<EntryRef> takeAll();
  std::size_t size() const;

  static std::string newToken();

 private:
  int timeoutMinutes_;
  SessionCaps caps_;
  mutable std::mutex mutex_;
  std::map<std::string, EntryRef, std::less<>> sessions_;
  Clock::time_point lastSweep_ = Clock::now();
};

}  // namespace host
