#include "media/conversion_folder.h"

#include <random>
#include <string>
#include <system_error>

namespace tw {

namespace {

constexpr int kNameAttempts = 16;

}  // namespace

std::filesystem::path ConversionFolder::Pattern(const std::filesystem::path& parent) {
  return parent / "tarnwick-NNNNNNNNNN";
}

// The user's own temporary folder is private already; a name nobody holds is enough.
ConversionFolder::ConversionFolder(const std::filesystem::path& parent) {
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts && m_path.empty(); ++attempt) {
    const std::filesystem::path candidate = parent / ("tarnwick-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      m_path = candidate;
    }
  }
}

}  // namespace tw
