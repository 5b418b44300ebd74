// The database of a site: a site whose root holds schema.sql (and optionally seed.sql) gets an
// SQLite database in its data folder the first time the host starts on it. Its connection
// string is the application value "ConnStr", where the site's pages read it. The data folder
// is never served.
#pragma once

#include <filesystem>
#include <memory>

#include "asp/session.h"

struct sqlite3;

namespace host {

// <root>/data
std::filesystem::path defaultDataFolder(const std::filesystem::path& root);

// Held open while the host runs: with one connection always open, the pages' own connections
// find the write-ahead log in place instead of creating and deleting it on every request.
class SiteDatabase {
 public:
  // Creates the database when missing and sets Application("ConnStr"); nullptr for a site
  // without schema.sql. Raises std::runtime_error when the schema or seed fails (no half-made
  // database is left behind).
  static std::unique_ptr<SiteDatabase> open(const std::filesystem::path& root,
                                            const std::filesystem::path& dataFolder,
                                            asp::Application& application);
  explicit SiteDatabase(sqlite3* db) : db_(db) {}
  ~SiteDatabase();
  SiteDatabase(const SiteDatabase&) = delete;
  SiteDatabase& operator=(const SiteDatabase&) = delete;

 private:
  sqlite3* db_;
};

}  // namespace host
