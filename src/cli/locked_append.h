#pragma once

#include <string>

namespace tw {

// Appends `line` to the file at `path` (created when missing) under an exclusive lock, so that lines
// several programs append at once never interleave; `header` goes first into an empty file. An empty
// line only checks that the file can be written. False, with errno set, on any failure.
bool AppendLocked(const std::string& path, const std::string& header, const std::string& line);

}  // namespace tw
