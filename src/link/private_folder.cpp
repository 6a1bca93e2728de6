#include "link/private_folder.h"

#include <random>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <stdlib.h>  // mkdtemp
#endif

namespace tw {

#ifndef _WIN32
std::filesystem::path PrivateFolderPattern(const std::filesystem::path& parent, std::string_view prefix) {
  return parent / (std::string(prefix) + "-XXXXXX");
}

// mkdtemp makes the folder 0700 in one step and never reuses an existing name, links included.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent, std::string_view prefix) {
  std::string name = PrivateFolderPattern(parent, prefix).string();
  return mkdtemp(name.data()) != nullptr ? std::filesystem::path(name) : std::filesystem::path();
}
#else
std::filesystem::path PrivateFolderPattern(const std::filesystem::path& parent, std::string_view prefix) {
  return parent / (std::string(prefix) + "-NNNNNNNNNN");
}

// The user's own temporary folder is private already; a name nobody holds is enough.
std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent, std::string_view prefix) {
  constexpr int kNameAttempts = 16;
  std::random_device random;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::filesystem::path candidate = parent / (std::string(prefix) + "-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      return candidate;
    }
  }
  return {};
}
#endif

std::filesystem::path MakePrivateFolder(std::string_view prefix) {
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path() : MakePrivateFolder(base, prefix);
}

}  // namespace tw
