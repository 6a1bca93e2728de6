#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session/session_host.h"

namespace tw {

// What one tarnwick-cli run asks of the session: the values the dialog's controls would hold.
struct ConsoleJob {
  int portIndex = 0;
  int speedIndex = 4;
  int modeIndex = 9;
  bool download = true;
  std::string startText;
  std::string sizeText;
  std::optional<std::string> openFile;  // the answer of every open-file dialog
  std::optional<std::string> saveFile;  // the answer of the save-file dialog
  std::vector<std::uint8_t> viewerData;
  std::optional<std::string> uploadOutput;  // where a memory upload's bytes go
  std::vector<SelectedFileInfo> selected;
  int idleTimeoutSeconds = 30;
};

}  // namespace tw
