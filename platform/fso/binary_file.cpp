#include "binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

#include "automation/error.h"
#include "drive_map.h"

namespace fso {
namespace {

using automation::Text;
using automation::TextView;

[[noreturn]] void throwWriteError(TextView windowsPath, int error) {
  automation::throwProviderError(u"balance.fso", Text(u"Cannot write the file ") +
                                                     Text(windowsPath) + u": " +
                                                     automation::fromUtf8(std::strerror(error)));
}

// Closes and removes the temporary file unless it was handed over to its final name.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& folder)
      : name_((folder / ".upload-XXXXXX").string()) {
    fd_ = mkstemp(name_.data());
    owned_ = fd_ >= 0;
  }
  ~TemporaryFile() {
    closeFile();
    if (owned_) unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool opened() const { return fd_ >= 0; }
  const std::string& name() const { return name_; }

  int writeAll(std::span<const std::uint8_t> content) {
    while (!content.empty()) {
      const ssize_t n = ::write(fd_, content.data(), content.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      content = content.subspan(static_cast<std::size_t>(n));
    }
    if (fchmod(fd_, 0644) != 0) return errno;
    return closeFile();
  }
  void handedOver() { owned_ = false; }

 private:
  int closeFile() {
    if (fd_ < 0) return 0;
    const int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
  }

  std::string name_;
  int fd_ = -1;
  bool owned_ = false;
};

// rename(2) that refuses to replace, falling back to link(2) where the file system lacks it.
int renameKeepingExisting(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (link(from.c_str(), to.c_str()) != 0) return errno;
  unlink(from.c_str());
  return 0;
}

}  // namespace

bool writeBinaryFile(TextView windowsPath, std::span<const std::uint8_t> content,
                     Existing existing) {
  const auto target = toHostPath(windowsPath);
  std::error_code ignored;
  if (!target.has_filename() || std::filesystem::is_directory(target, ignored)) {
    throwWriteError(windowsPath, EISDIR);
  }
  const auto folder =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  TemporaryFile temporary(folder);
  if (!temporary.opened()) throwWriteError(windowsPath, errno);
  if (int error = temporary.writeAll(content)) throwWriteError(windowsPath, error);

  const int error = existing == Existing::Replace
                        ? (std::rename(temporary.name().c_str(), target.c_str()) == 0 ? 0 : errno)
                        : renameKeepingExisting(temporary.name(), target.string());
  if (error == EEXIST) return false;
  if (error) throwWriteError(windowsPath, error);
  temporary.handedOver();
  return true;
}

}  // namespace fso
