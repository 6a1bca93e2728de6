#include "cli/locked_append.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

bool AppendLocked(const std::string& path, const std::string& header, const std::string& line) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    return false;
  }
  struct stat info {};
  bool written = ::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &info) == 0;
  if (written) {
    // The header belongs to whoever finds the file empty while holding the lock.
    const std::string text = (info.st_size == 0 && !line.empty() ? header : std::string()) + line;
    written = text.empty() || ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  }
  ::close(fd);
  return written;
}

}  // namespace tw
