#include "media/conversion_folder.h"

#include <system_error>

namespace tw {

std::filesystem::path ConversionFolder::DefaultParent() {
  std::error_code error;
  auto folder = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::current_path(error) : folder;
}

ConversionFolder::~ConversionFolder() {
  if (IsCreated()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
}

}  // namespace tw
