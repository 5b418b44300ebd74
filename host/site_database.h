// The database of a site: a site whose root holds schema.sql (and optionally seed.sql) gets an
// SQLite database in its data folder the first time the host starts on it. Its connection
// string is the application value "ConnStr", where the site's pages read it. The data folder
// is never served.
#pragma once

#include <filesystem>

#include "asp/session.h"

namespace host {

// <root>/data
std::filesystem::path defaultDataFolder(const std::filesystem::path& root);

// Creates the database when missing and sets Application("ConnStr"); raises std::runtime_error
// when the schema or seed fails (no half-made database is left behind).
void prepareSiteDatabase(const std::filesystem::path& root, const std::filesystem::path& dataFolder,
                         asp::Application& application);

}  // namespace host
