#include "session_store.h"

#include <random>

#include "automation/text.h"

namespace host {

struct SessionStore::Entry {
  std::string id;
  std::shared_ptr<asp::Session> session;
  std::mutex pageLock;
  Clock::time_point lastUsed = Clock::now();
  // Guarded by the store's mutex: the session's own fields belong to the running page.
  int users = 0;  // requests holding or waiting for the page lock
  int timeoutMinutes = 20;

  bool expired(Clock::time_point now) const {
    return users == 0 && now - lastUsed > std::chrono::minutes(timeoutMinutes);
  }
};

std::string SessionStore::newSessionId() {
  static thread_local std::random_device device;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string id;
  for (int word = 0; word < 4; ++word) {
    std::uint32_t bits = device();
    for (int nibble = 0; nibble < 8; ++nibble) id += kHex[(bits >> (4 * nibble)) & 15];
  }
  return id;
}

SessionStore::Lease::Lease(SessionStore& store, std::shared_ptr<Entry> entry, bool isNew)
    : store_(store), entry_(std::move(entry)), lock_(entry_->pageLock), isNew_(isNew) {}

SessionStore::Lease::~Lease() {
  int timeout = entry_->session->Timeout;
  bool abandoned = entry_->session->abandoned();
  lock_.unlock();
  store_.release(*entry_, timeout, abandoned);
}

const std::shared_ptr<asp::Session>& SessionStore::Lease::session() const {
  return entry_->session;
}
const std::string& SessionStore::Lease::id() const { return entry_->id; }

std::unique_ptr<SessionStore::Lease> SessionStore::acquire(std::string_view id, int maxRequests) {
  std::shared_ptr<Entry> entry;
  bool isNew = false;
  {
    std::lock_guard lock(mutex_);
    Clock::time_point now = Clock::now();
    if (now - lastSweep_ > std::chrono::seconds(30)) sweep(now);
    auto it = sessions_.find(id);
    if (it != sessions_.end() && !it->second->expired(now)) {
      entry = it->second;
      if (maxRequests > 0 && entry->users >= maxRequests) return nullptr;
    } else {
      entry = std::make_shared<Entry>();
      entry->id = newSessionId();
      entry->session = std::make_shared<asp::Session>();
      entry->session->Timeout = timeoutMinutes_;
      entry->timeoutMinutes = timeoutMinutes_;
      sessions_[entry->id] = entry;
      isNew = true;
    }
    ++entry->users;
  }
  return std::make_unique<Lease>(*this, entry, isNew);
}

void SessionStore::release(Entry& entry, int timeoutMinutes, bool abandoned) {
  std::lock_guard lock(mutex_);
  --entry.users;
  entry.lastUsed = Clock::now();
  entry.timeoutMinutes = timeoutMinutes;
  if (abandoned) sessions_.erase(entry.id);
}

void SessionStore::sweep(Clock::time_point now) {
  lastSweep_ = now;
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    it = it->second->expired(now) ? sessions_.erase(it) : std::next(it);
  }
}

void SessionStore::expireIdle(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  sweep(now);
}

std::size_t SessionStore::size() const {
  std::lock_guard lock(mutex_);
  return sessions_.size();
}

}  // namespace host
