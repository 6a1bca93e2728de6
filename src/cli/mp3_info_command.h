#pragma once

#include <string>

namespace tw {

// mp3info [--json] FILE: the MP3 inspection results; the exit status.
int Mp3InfoCommand(const std::string& path, bool json);

}  // namespace tw
