#include "ui/selected_file.h"

#include <algorithm>
#include <atomic>

namespace tw {

namespace {
std::atomic<int> g_liveRecords{0};
}

SelectedFile::SelectedFile() { ++g_liveRecords; }

SelectedFile::~SelectedFile() { --g_liveRecords; }

bool SelectedFile::SetPath(std::string_view utf8Path) {
  path.fill('\0');
  if (utf8Path.size() >= kPathSize) {
    return false;
  }
  std::copy(utf8Path.begin(), utf8Path.end(), path.begin());
  return true;
}

std::string_view SelectedFile::Path() const {
  const auto end = std::find(path.begin(), path.end(), '\0');
  return {path.data(), static_cast<std::size_t>(end - path.begin())};
}

int SelectedFile::LiveCount() { return g_liveRecords.load(); }

}  // namespace tw
