#include "site_database.h"

#include <sqlite3.h>

#include <stdexcept>

#include "static_files.h"

namespace host {
namespace fs = std::filesystem;

namespace {

void runScript(sqlite3* db, const fs::path& file) {
  auto sql = readWholeFile(file);
  if (!sql) throw std::runtime_error("cannot read " + file.string());
  char* message = nullptr;
  if (sqlite3_exec(db, sql->c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error(file.string() + ": " + text);
  }
}

void createDatabase(const fs::path& root, const fs::path& database) {
  fs::path partial = database;
  partial += ".partial";
  fs::remove(partial);
  sqlite3* db = nullptr;
  if (sqlite3_open(partial.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot create " + partial.string());
  }
  try {
    runScript(db, root / "schema.sql");
    if (fs::exists(root / "seed.sql")) runScript(db, root / "seed.sql");
  } catch (...) {
    sqlite3_close(db);
    fs::remove(partial);
    throw;
  }
  sqlite3_close(db);
  fs::rename(partial, database);
}

}  // namespace

// Beside the site, never inside it: a mistake in what is served can then never reach the
// database or uploaded files.
fs::path defaultDataFolder(const fs::path& root) {
  fs::path site = fs::absolute(root).lexically_normal();
  if (!site.has_filename()) site = site.parent_path();  // "/srv/site/" names "/srv/site"
  return site.parent_path() / (site.filename().string() + "-data");
}

SiteDatabase::~SiteDatabase() { sqlite3_close(db_); }

std::unique_ptr<SiteDatabase> SiteDatabase::open(const fs::path& root, const fs::path& dataFolder,
                                                 asp::Application& application) {
  if (!fs::exists(root / "schema.sql")) return nullptr;
  fs::create_directories(dataFolder);
  fs::path database = fs::absolute(dataFolder / "site.db");
  if (!fs::exists(database)) createDatabase(root, database);
  sqlite3* db = nullptr;
  if (sqlite3_open(database.c_str(), &db) != SQLITE_OK) {
    sqlite3_close(db);
    throw std::runtime_error("cannot open " + database.string());
  }
  auto handle = std::make_unique<SiteDatabase>(db);
  // A read maps the log's index; from then on this connection keeps the log files alive.
  sqlite3_exec(db, "pragma journal_mode=WAL; select count(*) from sqlite_master", nullptr, nullptr,
               nullptr);
  application.set(u"ConnStr",
                  automation::fromUtf8("Provider=SQLite;Data Source=" + database.string()));
  return handle;
}

}  // namespace host
