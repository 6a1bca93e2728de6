#include "media/conversion_folder.h"

#include <stdlib.h>

#include <string>
#include <system_error>

namespace tw {

std::filesystem::path ConversionFolder::Pattern(const std::filesystem::path& parent) {
  return parent / "tarnwick-XXXXXX";
}

std::filesystem::path ConversionFolder::DefaultParent() {
  std::error_code error;
  auto folder = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::path("/tmp") : folder;
}

// mkdtemp makes the folder 0700 and never reuses an existing name, links included.
ConversionFolder::ConversionFolder(const std::filesystem::path& parent) {
  std::string name = Pattern(parent).string();
  if (mkdtemp(name.data()) != nullptr) {
    m_path = name;
  }
}

ConversionFolder::~ConversionFolder() {
  if (IsCreated()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
}

}  // namespace tw
