// The session store: tokens from the system's random source, entries kept in a map by token,
// and expiry by idle time once no request holds a session.
#include "session_store.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>

namespace host {

namespace {

bool expired(const SessionStore::Entry& e, SessionStore::Clock::time_point now) {
  return e.users == 0 && now - e.lastUsed > std::chrono::minutes(e.timeoutMinutes);
}

}  // namespace

std::string SessionStore::newToken() {
  static constexpr char kHex[] = "0123456789abcdef";
  unsigned char bytes[16];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno != EINTR)
      throw std::system_error(errno, std::generic_category(), "getrandom");
    if (n > 0) got += static_cast<std::size_t>(n);
  }
  std::string token;
  for (unsigned char b : bytes) {
    token += kHex[b >> 4];
    token += kHex[b & 15];
  }
  return token;
}

SessionStore::EntryRef SessionStore::find(std::string_view token) {
  if (token.empty()) return nullptr;
  std::lock_guard lock(mutex_);
  auto it = sessions_.find(token);
  if (it == sessions_.end() || expired(*it->second, Clock::now())) return nullptr;
  ++it->second->users;
  return it->second;
}

SessionStore::EntryRef SessionStore::create() {
  auto entry = std::make_shared<Entry>();
  entry->session = std::make_shared<asp::Session>();  // with a SessionID of its own
  entry->session->Timeout = timeoutMinutes_;
  entry->session->setLimits(caps_.limits);
  entry->timeoutMinutes = timeoutMinutes_;
  entry->users = 1;
  return entry;
}

SessionStore::EntryRef SessionStore::store(const EntryRef& entry) {
  if (entry->token.empty()) entry->token = newToken();
  std::lock_guard lock(mutex_);
  EntryRef evicted;
  if (caps_.maxSessions && sessions_.size() >= caps_.maxSessions &&
      !sessions_.count(entry->token)) {
    auto idlest = sessions_.end();
    for (auto it = sessions_.begin(); it != sessions_.end(); ++it) {
      if (it->second->users == 0 &&
          (idlest == sessions_.end() || it->second->lastUsed < idlest->second->lastUsed)) {
        idlest = it;
      }
    }
    if (idlest != sessions_.end()) {
      evicted = std::move(idlest->second);
      evicted->stored = false;
      sessions_.erase(idlest);
    }
  }
  entry->stored = true;
  sessions_[entry->token] = entry;
  return evicted;
}

void SessionStore::renew(const EntryRef& entry) {
  std::string token = newToken();
  std::lock_guard lock(mutex_);
  if (!entry->stored) return;
  sessions_.erase(entry->token);
  entry->token = std::move(token);
  sessions_[entry->token] = entry;
}

void SessionStore::release(const EntryRef& entry) {
  int timeout = entry->session->Timeout;
  bool abandoned = entry->session->abandoned();
  std::lock_guard lock(mutex_);
  --entry->users;
  entry->lastUsed = Clock::now();
  entry->timeoutMinutes = timeout;
  if (abandoned && entry->stored) {
    sessions_.erase(entry->token);
    entry->stored = false;
  }
}

void SessionStore::forget(const EntryRef& entry) {
  std::lock_guard lock(mutex_);
  sessions_.erase(entry->token);
  entry->stored = false;
}

std::vector<SessionStore::EntryRef> SessionStore::takeExpired(Clock::time_point now,
                                                              Clock::duration every) {
  std::vector<EntryRef> ended;
  std::lock_guard lock(mutex_);
  if (now - lastSweep_ < every) return ended;
  lastSweep_ = now;
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    if (expired(*it->second, now)) {
      it->second->stored = false;
      ended.push_back(std::move(it->second));
      it = sessions_.erase(it);
    } else {
      ++it;
    }
  }
  return ended;
}

std::vector<SessionStore::EntryRef> SessionStore::takeAll() {
  std::vector<EntryRef> all;
  std::lock_guard lock(mutex_);
  for (auto& [token, entry] : sessions_) {
    entry->stored = false;
    all.push_back(std::move(entry));
  }
  sessions_.clear();
  return all;
}

std::size_t SessionStore::size() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace host
