#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tw {

// The record behind one selected-files list entry; the media batch reads it.
// +0 path char[1024], NUL-terminated (UTF-8); +1024 isPhoto int32, 0 for an MP3 file, 1 for a photo.
struct SelectedFile {
  static constexpr std::size_t kPathSize = 1024;

  SelectedFile();
  ~SelectedFile();
  SelectedFile(const SelectedFile&) = delete;
  SelectedFile& operator=(const SelectedFile&) = delete;

  // False, leaving the path empty, when it does not fit with its terminating NUL.
  [[nodiscard]] bool SetPath(std::string_view utf8Path);
  [[nodiscard]] std::string_view Path() const;

  // Records alive right now; every list entry holds exactly one, so a leak or double release shows here.
  [[nodiscard]] static int LiveCount();

  std::array<char, kPathSize> path{};
  std::int32_t isPhoto = 0;
};

}  // namespace tw
