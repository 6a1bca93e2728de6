#pragma once

#include <filesystem>
#include <string_view>

namespace tw {

// A new folder under `parent` that only this user may enter, named `prefix` and "-" and a random part
// no other folder has; empty when none could be made. The caller removes it.
[[nodiscard]] std::filesystem::path MakePrivateFolder(const std::filesystem::path& parent, std::string_view prefix);
// The same under the system's temporary folder.
[[nodiscard]] std::filesystem::path MakePrivateFolder(std::string_view prefix);
// What such a folder's name looks like, for a message when none could be made.
[[nodiscard]] std::filesystem::path PrivateFolderPattern(const std::filesystem::path& parent, std::string_view prefix);

}  // namespace tw
