// The pool of SQLite handles: what comes back into it, who gets what, what a kept handle knows
// about the database after others changed it, and many threads at once.
#include "ado/sqlite_pool.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <thread>

#include "ado/ado.h"
#include "ado/statement_cache.h"

namespace ado {
namespace {

namespace fs = std::filesystem;

class SqlitePoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/balance-pool-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    dir_ = name;
    path_ = (dir_ / "pool.db").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  static void exec(sqlite3* db, const char* sql) {
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  }
  static std::int64_t firstNumber(SqliteSession& s, const Text& sql) {
    SessionStatement st(s, sql);
    EXPECT_TRUE(st.step());
    return sqlite3_column_int64(st.get(), 0);
  }

  fs::path dir_;
  std::string path_;
  std::shared_ptr<SqlitePool> pool_ = SqlitePool::create({});
};

TEST_F(SqlitePoolTest, AHandleIsKeptOnlyWhenItIsAsFresh) {
  auto first = pool_->open(path_);
  sqlite3* kept = first->db();
  exec(kept, "create table t(a int)");  // schema only: no row changed
  first.reset();
  EXPECT_EQ(pool_->idleCount(), 1u);

  auto again = pool_->open(path_);
  EXPECT_EQ(again->db(), kept);
  EXPECT_EQ(pool_->idleCount(), 0u);
  sqlite3_stmt* running = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(kept, "select 1 union all select 2", -1, &running, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(running), SQLITE_ROW);
  again.reset();
  EXPECT_EQ(pool_->idleCount(), 0u) << "kept while a statement was running";
  sqlite3_finalize(running);

  const char* notFresh[] = {"begin", "insert into t values(1)", "pragma foreign_keys=on",
                            "create temp table scratch(a)", "attach database ':memory:' as other"};
  for (const char* sql : notFresh) {
    auto used = pool_->open(path_);
    exec(used->db(), sql);
    used.reset();
    EXPECT_EQ(pool_->idleCount(), 0u) << sql;
  }
  // The transaction left open above was rolled back when its handle closed.
  auto after = pool_->open(path_);
  EXPECT_EQ(firstNumber(*after, u"select count(*) from t"), 1);
}

TEST_F(SqlitePoolTest, UsersAtOnceGetHandlesOfTheirOwn) {
  auto a = pool_->open(path_);
  auto b = pool_->open(path_);
  EXPECT_NE(a->db(), b->db());
  std::set<sqlite3*> handles = {a->db(), b->db()};
  a.reset();
  b.reset();
  EXPECT_EQ(pool_->idleCount(), 2u);
  auto c = pool_->open(path_);
  auto d = pool_->open(path_);
  auto e = pool_->open(path_);
  EXPECT_EQ(pool_->idleCount(), 0u);
  EXPECT_EQ((std::set<sqlite3*>{c->db(), d->db()}), handles);
  EXPECT_EQ(handles.count(e->db()), 0u);
}

TEST_F(SqlitePoolTest, LimitsCloseTheOldestAndTheLongIdle) {
  auto pool =
      SqlitePool::create({.perFile = 2, .total = 3, .idle = std::chrono::milliseconds(300)});
  const std::string other = (dir_ / "other.db").string();
  { auto a = pool->open(path_), b = pool->open(path_), c = pool->open(path_); }
  EXPECT_EQ(pool->idleCount(), 2u);
  { auto a = pool->open(other), b = pool->open(other); }
  EXPECT_EQ(pool->idleCount(), 3u);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  auto fresh = pool->open(path_);
  EXPECT_EQ(pool->idleCount(), 0u);
}

TEST_F(SqlitePoolTest, AKeptHandleSeesWhatAnotherWrote) {
  auto reader = pool_->open(path_);
  auto writer = pool_->open(path_);
  exec(reader->db(), "create table t(a int)");
  EXPECT_EQ(firstNumber(*reader, u"select count(*) from t"), 0);
  sqlite3* kept = reader->db();
  reader.reset();
  exec(writer->db(), "insert into t values(1)");
  writer.reset();
  auto again = pool_->open(path_);
  ASSERT_EQ(again->db(), kept);
  EXPECT_EQ(firstNumber(*again, u"select count(*) from t"), 1);
}

TEST_F(SqlitePoolTest, SchemaChangesElsewhereAreSeenBeforeTheNextQuery) {
  auto a = pool_->open(path_);
  auto b = pool_->open(path_);
  exec(a->db(), "create table t(a int)");
  EXPECT_TRUE(a->dateColumns().empty());
  {
    SessionStatement all(*a, u"select * from t");
    EXPECT_EQ(sqlite3_column_count(all.get()), 1);
  }
  exec(b->db(), "create table later(born datetime)");
  exec(b->db(), "alter table t add column b int");
  EXPECT_EQ(a->dateColumns(), sql::DateColumns{u"born"});
  SessionStatement all(*a, u"select * from t");
  EXPECT_EQ(sqlite3_column_count(all.get()), 2);
}

TEST_F(SqlitePoolTest, AReplacedFileIsNeitherServedNorHarmedByTheOldHandle) {
  {
    auto old = pool_->open(path_);
    exec(old->db(), "create table old(a)");
  }
  ASSERT_EQ(pool_->idleCount(), 1u);
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path_ + suffix);

  sqlite3* replacement = nullptr;  // held open, so its rows stay in its log
  ASSERT_EQ(sqlite3_open(path_.c_str(), &replacement), SQLITE_OK);
  exec(replacement, "pragma journal_mode=WAL; create table fresh(a); insert into fresh values(1)");
  {
    auto session = pool_->open(path_);
    EXPECT_EQ(firstNumber(*session, u"select count(*) from fresh"), 1);
  }
  pool_.reset();  // closes the old handle too
  EXPECT_TRUE(fs::exists(path_ + "-wal"));
  EXPECT_TRUE(fs::exists(path_ + "-shm"));

  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &reader), SQLITE_OK);
  exec(reader, "select * from fresh");
  sqlite3_close(reader);
  sqlite3_close(replacement);
}

TEST_F(SqlitePoolTest, AForkedChildOpensItsOwnHandle) {
  sqlite3* parents = pool_->open(path_)->db();
  ASSERT_EQ(pool_->idleCount(), 1u);
  pid_t child = fork();
  if (child == 0) {
    auto own = pool_->open(path_);
    _exit(own->db() != parents && pool_->idleCount() == 0 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(pool_->open(path_)->db(), parents);
}

TEST(StatementCacheTest, StatementsAreLentOutAndTheLeastRecentGoFirst) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  auto prepared = [&](const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), SQLITE_OK);
    return stmt;
  };
  {
    StatementCache cache(2);
    sqlite3_stmt* one = prepared("select 1");
    ASSERT_EQ(sqlite3_step(one), SQLITE_ROW);
    cache.put(u"select 1", one);
    EXPECT_FALSE(sqlite3_stmt_busy(one));  // reset as it was kept
    EXPECT_EQ(cache.take(u"select 1"), one);
    EXPECT_EQ(cache.take(u"select 1"), nullptr);  // lent out
    cache.put(u"select 1", one);
    cache.put(u"select 1", prepared("select 1"));  // a second one of the same text
    EXPECT_EQ(cache.size(), 1u);
    cache.put(u"select 2", prepared("select 2"));
    cache.put(u"select 3", prepared("select 3"));
    EXPECT_EQ(cache.take(u"select 1"), nullptr);
    sqlite3_stmt* three = cache.take(u"select 3");
    EXPECT_NE(three, nullptr);
    sqlite3_finalize(three);
  }
  EXPECT_EQ(sqlite3_next_stmt(db, nullptr), nullptr);  // the cache finalized what it kept
  sqlite3_close(db);
}

TEST(StatementCacheTest, TextsThatDifferOnlyAtTheEndAreKeptApart) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  const std::string head = "select 1 as value /*" + std::string(500, 'x') + "*/ where 1=";
  {
    StatementCache cache(8);
    std::vector<sqlite3_stmt*> kept;
    for (const char* end : {"1", "2", "3"}) {
      sqlite3_stmt* stmt = nullptr;
      ASSERT_EQ(sqlite3_prepare_v2(db, (head + end).c_str(), -1, &stmt, nullptr), SQLITE_OK);
      cache.put(automation::fromUtf8(head + end), stmt);
      kept.push_back(stmt);
    }
    EXPECT_EQ(cache.size(), 3u);
    EXPECT_EQ(cache.take(automation::fromUtf8(head + "2")), kept[1]);
    EXPECT_TRUE(cache.keeps(automation::fromUtf8(head + "2")));  // lent out, still known
    EXPECT_FALSE(cache.keeps(automation::fromUtf8(head + "4")));
    EXPECT_EQ(cache.take(automation::fromUtf8(head + "3")), kept[2]);
    EXPECT_EQ(cache.take(automation::fromUtf8(head + "1")), kept[0]);
    for (sqlite3_stmt* s : kept) sqlite3_finalize(s);
  }
  sqlite3_close(db);
}

// Through connections, as pages use them: the shared pool of the process.
class PooledConnectionTest : public SqlitePoolTest {
 protected:
  Text connectionString() const {
    return automation::fromUtf8("Provider=SQLite;Data Source=" + path_);
  }
  std::int64_t count(Connection& c, const Text& sql) {
    Variant rs = c.Execute(sql);
    return automation::toInt64Rounded(automation::objectAs<Recordset>(rs)->value(Variant(0)));
  }
};

TEST_F(PooledConnectionTest, ATableMadeAfterTheFirstQueryHasItsDatesNormalised) {
  Connection first;
  first.Open(connectionString());
  first.Execute(u"create table t(a int)");
  count(first, u"select count(*) from t");
  first.Close();
  Connection next;
  next.Open(connectionString());
  next.Execute(u"create table later(born datetime)");
  next.Execute(u"insert later(born) values('2001-5-7')");
  Variant rs = next.Execute(u"select born || '' as s from later where born = '2001-05-07'");
  EXPECT_EQ(automation::joinText(automation::objectAs<Recordset>(rs)->value(Variant(0))),
            u"2001-05-07 00:00:00");
}

TEST_F(PooledConnectionTest, ThreadsOpenWriteAndReadAtOnce) {
  {
    Connection c;
    c.Open(connectionString());
    c.Execute(u"create table t(thread int, i int)");
  }
  constexpr int kThreads = 4;
  constexpr int kRounds = 40;
  std::vector<std::thread> threads;
  std::atomic<int> wrong = 0;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const Text thread = automation::fromUtf8(std::to_string(t));
      for (int i = 0; i < kRounds; ++i) {
        Connection writer;
        writer.Open(connectionString());
        writer.Execute(u"insert t(thread, i) values(" + thread + u", " +
                       automation::fromUtf8(std::to_string(i)) + u")");
        writer.Close();
        Connection reader;
        reader.Open(connectionString());
        if (count(reader, u"select count(*) from t where thread = " + thread) != i + 1) ++wrong;
        reader.Close();
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(wrong, 0);
  Connection c;
  c.Open(connectionString());
  EXPECT_EQ(count(c, u"select count(*) from t"), kThreads * kRounds);
}

}  // namespace
}  // namespace ado
