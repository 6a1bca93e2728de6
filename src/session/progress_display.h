#pragma once

#include <cstdint>
#include <string>

namespace tw {

// The progress bar: a position 0..100 (with the byte counts behind it), or a caption in text display.
class ProgressDisplay {
 public:
  virtual ~ProgressDisplay() = default;

  virtual void SetProgress(int position, std::uint64_t done, std::uint64_t total) = 0;
  virtual void SetProgressCaption(const std::string& caption) = 0;
};

}  // namespace tw
