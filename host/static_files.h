// Static files of the site: what may be served and with which content type, and the bytes of
// small files kept in memory. Only files whose extension has a known content type are sent
// (pages, styles, scripts, images, fonts, documents), so page sources, include files,
// global.asa, databases, scripts of other languages and editor or backup copies
// ("index.asp~", "conn.inc.bak", ".swp", ".orig") never are; nor hidden files, nor anything
// under a private folder (the data folder, the upload drive roots), which no page runs from
// either. A kept file is checked against the disk (one stat) on every request, so a changed
// file is never sent stale.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "exchange.h"

namespace host {

// Which file a path names and how it stood: changes whenever the file is replaced or written.
struct FileIdentity {
  std::uint64_t inode = 0, size = 0;
  std::int64_t seconds = 0, nanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};
// One stat; nullopt when `file` is no regular file.
std::optional<FileIdentity> identifyFile(const std::filesystem::path& file);

class StaticFiles {
 public:
  // The private folders (data folder, drive roots) may lie inside the root, or be missing yet.
  StaticFiles(std::filesystem::path root, const std::vector<std::filesystem::path>& privateFolders);

  // Whether `file` (resolved under the root) may be sent as it is.
  bool servable(const std::filesystem::path& file) const;
  // Whether `file` lies under a private folder, symbolic links followed.
  bool isPrivate(const std::filesystem::path& file) const;
  // The content type of a servable extension; nullopt for any other.
  static std::optional<std::string_view> contentType(const std::filesystem::path& file);
  static bool isPage(const std::filesystem::path& file);

  // The reply for `file`, the routed target of `rawPath` (404 when it may not be served);
  // small files are kept under `rawPath`.
  HttpReply reply(const std::filesystem::path& file, std::string_view rawPath);
  // The reply for a kept file that is unchanged on disk; nullopt: route the target.
  std::optional<HttpReply> cached(std::string_view rawPath) const;

 private:
  struct Kept {
    std::filesystem::path file;
    std::string contentType;
    std::string body;
    FileIdentity identity;
  };
  static constexpr std::size_t kMaxKeptBytes = 1u << 20;  // per file
  static constexpr std::size_t kMaxKept = 4096;           // files
  static HttpReply replyOf(const Kept& kept);

  std::filesystem::path root_;
  std::vector<std::filesystem::path> private_;  // as canonical as they can be made
  mutable std::shared_mutex mutex_;
  std::map<std::string, std::shared_ptr<const Kept>, std::less<>> kept_;
};

std::optional<std::string> readWholeFile(const std::filesystem::path& file);

}  // namespace host
