// Static files: the rules for what is served, content types, and the kept files.
#include "static_files.h"

#include <sys/stat.h>

#include <array>
#include <fstream>
#include <mutex>
#include <sstream>

#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;

namespace {

bool isWithin(const fs::path& folder, const fs::path& p) {
  if (folder.empty()) return false;
  auto [end, _] = std::mismatch(folder.begin(), folder.end(), p.begin(), p.end());
  return end == folder.end();
}

// Pages, styles, scripts, images, fonts and documents; nothing else is ever sent.
constexpr std::array<std::pair<std::string_view, std::string_view>, 30> kTypes = {{
    {".html", "text/html; charset=utf-8"},
    {".htm", "text/html; charset=utf-8"},
    {".css", "text/css; charset=utf-8"},
    {".js", "application/javascript; charset=utf-8"},
    {".json", "application/json"},
    {".xml", "application/xml"},
    {".txt", "text/plain; charset=utf-8"},
    {".csv", "text/csv; charset=utf-8"},
    {".gif", "image/gif"},
    {".png", "image/png"},
    {".jpg", "image/jpeg"},
    {".jpeg", "image/jpeg"},
    {".bmp", "image/bmp"},
    {".webp", "image/webp"},
    {".ico", "image/x-icon"},
    {".svg", "image/svg+xml"},
    {".woff", "font/woff"},
    {".woff2", "font/woff2"},
    {".ttf", "font/ttf"},
    {".otf", "font/otf"},
    {".eot", "application/vnd.ms-fontobject"},
    {".pdf", "application/pdf"},
    {".rtf", "application/rtf"},
    {".doc", "application/msword"},
    {".xls", "application/vnd.ms-excel"},
    {".ppt", "application/vnd.ms-powerpoint"},
    {".docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {".xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {".pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
    {".zip", "application/zip"},
}};

}  // namespace

StaticFiles::StaticFiles(fs::path root, const std::vector<fs::path>& privateFolders)
    : root_(std::move(root)) {
  for (const fs::path& folder : privateFolders) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::absolute(folder), ec);
    if (!ec) private_.push_back(canonical.lexically_normal());
  }
}

bool StaticFiles::isPage(const fs::path& file) {
  return lowerAscii(file.extension().string()) == ".asp";
}

bool StaticFiles::isPrivate(const fs::path& file) const {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(file, ec);
  if (ec) return true;
  for (const fs::path& folder : private_) {
    if (isWithin(folder, canonical)) return true;
  }
  return false;
}

bool StaticFiles::servable(const fs::path& file) const {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec) || !contentType(file)) return false;
  fs::path canonical = fs::canonical(file, ec);
  if (ec) return false;
  for (const auto& segment : fs::relative(canonical, fs::canonical(root_, ec))) {
    if (segment.string().starts_with('.')) return false;
  }
  return !isPrivate(canonical);
}

std::optional<std::string_view> StaticFiles::contentType(const fs::path& file) {
  std::string ext = lowerAscii(file.extension().string());
  for (const auto& [suffix, type] : kTypes) {
    if (ext == suffix) return type;
  }
  return std::nullopt;
}

std::optional<FileIdentity> identifyFile(const fs::path& file) {
  struct stat st;
  if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(st.st_ino), static_cast<std::uint64_t>(st.st_size),
                      st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

HttpReply StaticFiles::replyOf(const Kept& kept) {
  HttpReply r;
  r.headers.emplace_back("Content-Type", kept.contentType);
  r.body = kept.body;
  return r;
}

HttpReply StaticFiles::reply(const fs::path& file, std::string_view rawPath) {
  if (!servable(file)) return plainReply(404, "Not Found");
  auto identity = identifyFile(file);
  auto kept = std::make_shared<Kept>();
  kept->file = file;
  kept->contentType = std::string(*contentType(file));
  auto body = readWholeFile(file);
  if (!identity || !body) return plainReply(404, "Not Found");
  kept->body = std::move(*body);
  kept->identity = *identity;
  // Read after the stat: a file changed meanwhile is read again on the next request.
  if (kept->body.size() <= kMaxKeptBytes) {
    std::unique_lock lock(mutex_);
    if (kept_.size() >= kMaxKept) kept_.clear();
    kept_.insert_or_assign(std::string(rawPath), kept);
  }
  return replyOf(*kept);
}

std::optional<HttpReply> StaticFiles::cached(std::string_view rawPath) const {
  std::shared_ptr<const Kept> kept;
  {
    std::shared_lock lock(mutex_);
    auto it = kept_.find(rawPath);
    if (it == kept_.end()) return std::nullopt;
    kept = it->second;
  }
  auto identity = identifyFile(kept->file);
  if (!identity || !(*identity == kept->identity)) return std::nullopt;
  return replyOf(*kept);
}

std::optional<std::string> readWholeFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace host
