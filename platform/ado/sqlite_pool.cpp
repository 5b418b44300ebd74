#include "ado/sqlite_pool.h"

#include <unistd.h>

#include <algorithm>

namespace ado {
namespace {

// Handles a forked child inherited: never used nor closed there (closing would release the
// parent's locks and could delete its log), and kept reachable so that they are no leak.
std::vector<std::unique_ptr<SqliteSession>>& inherited() {
  static auto* sessions = new std::vector<std::unique_ptr<SqliteSession>>();
  return *sessions;
}

}  // namespace

std::shared_ptr<SqlitePool> SqlitePool::create(Limits limits) {
  return std::shared_ptr<SqlitePool>(new SqlitePool(limits));
}

SqlitePool& SqlitePool::shared() {
  static const std::shared_ptr<SqlitePool> pool = create({});
  return *pool;
}

SqlitePool::~SqlitePool() { forgetInherited(); }

std::shared_ptr<SqliteSession> SqlitePool::open(const std::string& path) {
  std::unique_ptr<SqliteSession> session = takeIdle(path);
  if (!session) session = std::make_unique<SqliteSession>(path, limits_.statements);
  std::weak_ptr<SqlitePool> pool = weak_from_this();
  return std::shared_ptr<SqliteSession>(session.release(), [pool](SqliteSession* s) {
    std::unique_ptr<SqliteSession> returned(s);
    if (auto p = pool.lock()) p->giveBack(std::move(returned));
  });
}

std::size_t SqlitePool::idleCount() const {
  std::lock_guard lock(mutex_);
  return idle_.size();
}

std::unique_ptr<SqliteSession> SqlitePool::takeIdle(const std::string& path) {
  const std::optional<FileId> file = namesAFile(path) ? fileIdOf(path) : std::nullopt;
  Sessions closing;
  std::lock_guard lock(mutex_);
  forgetInherited();
  expire(Clock::now(), closing);
  if (!file) return nullptr;
  auto found = std::find_if(idle_.rbegin(), idle_.rend(), [wanted = *file](const Idle& i) {
    return i.session->file() == wanted;
  });
  if (found == idle_.rend()) return nullptr;
  std::unique_ptr<SqliteSession> session = std::move(found->session);
  idle_.erase(std::next(found).base());
  return session;
}

void SqlitePool::giveBack(std::unique_ptr<SqliteSession> session) {
  if (session->creator() != getpid()) {
    inherited().push_back(std::move(session));
    return;
  }
  if (!session->file() || !session->asFresh()) return;
  Sessions closing;
  std::lock_guard lock(mutex_);
  forgetInherited();
  Clock::time_point now = Clock::now();
  idle_.push_back({std::move(session), now});
  expire(now, closing);
  trim(closing);
}

void SqlitePool::expire(Clock::time_point now, Sessions& closing) {
  while (!idle_.empty() && now - idle_.front().since >= limits_.idle) {
    closing.push_back(std::move(idle_.front().session));
    idle_.erase(idle_.begin());
  }
}

void SqlitePool::trim(Sessions& closing) {
  const std::optional<FileId> newest = idle_.empty() ? std::nullopt : idle_.back().session->file();
  auto sameFile = [&](const Idle& i) { return i.session->file() == newest; };
  if (static_cast<std::size_t>(std::count_if(idle_.begin(), idle_.end(), sameFile)) >
      limits_.perFile) {
    auto oldest = std::find_if(idle_.begin(), idle_.end(), sameFile);
    closing.push_back(std::move(oldest->session));
    idle_.erase(oldest);
  }
  if (idle_.size() > limits_.total) {
    closing.push_back(std::move(idle_.front().session));
    idle_.erase(idle_.begin());
  }
}

void SqlitePool::forgetInherited() {
  if (getpid() == owner_) return;
  for (Idle& i : idle_) inherited().push_back(std::move(i.session));
  idle_.clear();
  owner_ = getpid();
}

}  // namespace ado
