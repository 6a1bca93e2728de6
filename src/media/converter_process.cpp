#include "media/converter_process.h"

#include <cstdlib>

namespace tw {

namespace {

#ifdef _WIN32
constexpr char kSearchPathSeparator = ';';
#else
constexpr char kSearchPathSeparator = ':';
#endif

}  // namespace

std::vector<std::filesystem::path> ConverterProcess::SplitSearchPath(std::string_view list) {
  std::vector<std::filesystem::path> folders;
  while (!list.empty()) {
    const auto separator = list.find(kSearchPathSeparator);
    const auto entry = list.substr(0, separator);
    if (!entry.empty()) {
      folders.emplace_back(entry);
    }
    list.remove_prefix(separator == std::string_view::npos ? list.size() : separator + 1);
  }
  return folders;
}

std::string ConverterProcess::SearchPathVariable() {
  const char* value = std::getenv("PATH");
  return value != nullptr ? value : "";
}

}  // namespace tw
