// Static files of the site: what may be served and with which content type. Page sources
// (.asp), include files (.inc), database files (.db, .sqlite, their -wal, -shm and -journal
// companions), hidden files and everything in the site's data folder are never sent as files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace host {

class StaticFiles {
 public:
  // `dataFolder` may lie inside the root; nothing under it is served.
  StaticFiles(std::filesystem::path root, std::filesystem::path dataFolder);

  // Whether `file` (resolved under the root) may be sent as it is.
  bool servable(const std::filesystem::path& file) const;
  static std::string contentType(const std::filesystem::path& file);
  static bool isPage(const std::filesystem::path& file);

 private:
  std::filesystem::path root_;
  std::filesystem::path dataFolder_;  // canonical, empty when it does not exist
};

std::optional<std::string> readWholeFile(const std::filesystem::path& file);

}  // namespace host
