#pragma once

#include <filesystem>
#include <string_view>

namespace tw {

// A new folder under the temporary folder that only this user may enter, named "<prefix>-<random>";
// empty when none could be made. The caller removes it.
[[nodiscard]] std::filesystem::path MakePrivateFolder(std::string_view prefix);

}  // namespace tw
