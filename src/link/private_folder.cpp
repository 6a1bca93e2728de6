#include "link/private_folder.h"

#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <stdlib.h>  // mkdtemp
#endif

namespace tw {

std::filesystem::path MakePrivateFolder(std::string_view prefix) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  if (error) {
    return {};
  }
#ifndef _WIN32
  // Made with mode 0700 in one step: nobody else ever sees it open.
  std::string pattern = (base / (std::string(prefix) + "-XXXXXX")).string();
  return mkdtemp(pattern.data()) != nullptr ? std::filesystem::path(pattern) : std::filesystem::path();
#else
  // The user's own temporary folder is private already.
  constexpr int kNameAttempts = 16;
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::filesystem::path candidate = base / (std::string(prefix) + "-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate, error)) {
      return candidate;
    }
  }
  return {};
#endif
}

}  // namespace tw
