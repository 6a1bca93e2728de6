#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/com_port.h"
#include "link/wire_format.h"
#include "session/batch_list.h"

namespace tw {

// What one tarnwick-cli run asks of the session: the values the dialog's controls would hold.
struct ConsoleJob {
  ComPort port;
  LineSpeed speed = kFastestSpeed;
  Mode mode = Mode::GzipProgram;
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
