// Resolution of site paths (URL paths, include paths) to files under the site root. Pages of
// this application spell the same folder in several ways ("../Include/Calendar.js",
// "../include/style.css"), so each segment is matched case-insensitively when no exact match
// exists. Nothing resolves outside the root: ".." never climbs above it, and a symbolic link
// that leads out of it is refused.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace host {

// Joins `base` (a root-relative folder) and `path` (relative to it, or root-relative when it
// starts with "/"), removes "." and ".." segments and gives the normalized root-relative path
// with "/" separators and no leading slash; nullopt when ".." would climb above the root or a
// segment holds a NUL or a backslash.
std::optional<std::string> normalizeSitePath(std::string_view base, std::string_view path);

// The existing file or folder under `root` for a normalized site path, found case-insensitively
// segment by segment; nullopt when nothing matches or the match lies outside the root.
std::optional<std::filesystem::path> resolveSitePath(const std::filesystem::path& root,
                                                     std::string_view normalized);

// The root-relative folder of a root-relative file path ("person/index.asp" -> "person").
std::string siteFolder(std::string_view normalized);

std::string lowerAscii(std::string_view s);

}  // namespace host
