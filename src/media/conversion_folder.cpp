#include "media/conversion_folder.h"

#include <system_error>

#include "link/private_folder.h"

namespace tw {

namespace {

constexpr std::string_view kPrefix = "tarnwick";

}  // namespace

ConversionFolder::ConversionFolder(const std::filesystem::path& parent) : m_path(MakePrivateFolder(parent, kPrefix)) {}

ConversionFolder::~ConversionFolder() {
  if (IsCreated()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
}

std::filesystem::path ConversionFolder::Pattern(const std::filesystem::path& parent) {
  return PrivateFolderPattern(parent, kPrefix);
}

std::filesystem::path ConversionFolder::DefaultParent() {
  std::error_code error;
  auto folder = std::filesystem::temp_directory_path(error);
  return error ? std::filesystem::current_path(error) : folder;
}

}  // namespace tw
