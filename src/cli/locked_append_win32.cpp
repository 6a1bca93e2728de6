#include "cli/locked_append.h"

#include <windows.h>

#include <cerrno>

namespace tw {

bool AppendLocked(const std::string& path, const std::string& header, const std::string& line) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    errno = EACCES;
    return false;
  }
  OVERLAPPED whole{};
  LARGE_INTEGER size{};
  bool written = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) && GetFileSizeEx(file, &size);
  if (written) {
    // The header belongs to whoever finds the file empty while holding the lock.
    const std::string text = (size.QuadPart == 0 && !line.empty() ? header : std::string()) + line;
    DWORD done = 0;
    written = text.empty() ||
              (WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) && done == text.size());
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
  }
  CloseHandle(file);
  if (!written) {
    errno = EIO;
  }
  return written;
}

}  // namespace tw
