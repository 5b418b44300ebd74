#include "drive_map.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "automation/error.h"

namespace fso {
namespace {

using automation::Text;
using automation::TextView;

constexpr automation::TextView kSource = u"balance.fso";

std::string environment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? std::string(value) : std::string();
}

bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::vector<Text> components(TextView path) {
  std::vector<Text> parts;
  Text current;
  for (char16_t c : path) {
    if (isSeparator(c)) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

// "." and ".." resolved by text, the way the drive-letter form is resolved: ".." at the root
// stays at the root.
std::vector<Text> resolvedUnderRoot(TextView path) {
  std::vector<Text> kept;
  for (auto& part : components(path)) {
    if (part == u".") continue;
    if (part == u"..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(std::move(part));
  }
  return kept;
}

std::mutex defaultMutex;
std::filesystem::path defaultDrives = std::filesystem::path("data") / "drives";

std::filesystem::path defaultDrivesFolder() {
  std::lock_guard lock(defaultMutex);
  return defaultDrives;
}

[[noreturn]] void throwInvalidPath(TextView path) {
  automation::throwProviderError(kSource, Text(u"Bad file name: ") + Text(path));
}

}  // namespace

std::filesystem::path driveRoot(char16_t letter) {
  const char upper = static_cast<char>(letter >= u'a' ? letter - u'a' + u'A' : letter);
  const char lower = static_cast<char>(upper - 'A' + 'a');
  if (auto own = environment(std::string("BALANCE_DRIVE_") + upper); !own.empty()) return own;
  const std::string letterFolder(1, lower);
  if (auto all = environment("BALANCE_DRIVES"); !all.empty()) {
    return std::filesystem::path(all) / letterFolder;
  }
  if (auto data = environment("XDG_DATA_HOME"); !data.empty()) {
    return std::filesystem::path(data) / "balance" / "drives" / letterFolder;
  }
  return defaultDrivesFolder() / letterFolder;
}

void setDefaultDrivesFolder(std::filesystem::path folder) {
  std::lock_guard lock(defaultMutex);
  defaultDrives = std::move(folder);
}

std::filesystem::path toHostPath(TextView windowsPath) {
  if (windowsPath.find(u'\0') != TextView::npos) throwInvalidPath(windowsPath);
  const bool hasDrive =
      windowsPath.size() >= 2 && windowsPath[1] == u':' && isAsciiLetter(windowsPath[0]);
  const TextView rest = hasDrive ? windowsPath.substr(2) : windowsPath;
  if (rest.find(u':') != TextView::npos) throwInvalidPath(windowsPath);

  std::filesystem::path host = hasDrive ? driveRoot(windowsPath[0]) : std::filesystem::path();
  const auto parts = hasDrive ? resolvedUnderRoot(rest) : components(rest);
  for (const auto& part : parts) host /= automation::toUtf8(part);
  if (host.empty()) host = ".";
  if (!rest.empty() && isSeparator(rest.back())) host /= "";
  return host;
}

}  // namespace fso
