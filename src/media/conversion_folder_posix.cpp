#include "media/conversion_folder.h"

#include <stdlib.h>

#include <string>

namespace tw {

std::filesystem::path ConversionFolder::Pattern(const std::filesystem::path& parent) {
  return parent / "tarnwick-XXXXXX";
}

// mkdtemp makes the folder 0700 and never reuses an existing name, links included.
ConversionFolder::ConversionFolder(const std::filesystem::path& parent) {
  std::string name = Pattern(parent).string();
  if (mkdtemp(name.data()) != nullptr) {
    m_path = name;
  }
}

}  // namespace tw
