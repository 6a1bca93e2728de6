#pragma once

#include <string>

#include "link/com_port.h"
#include "link/wire_format.h"

namespace tw {

// The operator's choices as the dialog's controls hold them, typed; and the port's status line.
class ControlValues {
 public:
  virtual ~ControlValues() = default;

  [[nodiscard]] virtual ComPort Port() = 0;
  [[nodiscard]] virtual LineSpeed Speed() = 0;
  [[nodiscard]] virtual Mode SelectedMode() = 0;
  virtual void SelectMode(Mode mode) = 0;  // the selection only; no change handling runs
  [[nodiscard]] virtual bool DownloadChecked() = 0;
  [[nodiscard]] virtual std::string StartText() = 0;
  [[nodiscard]] virtual std::string SizeText() = 0;
  virtual void SetComStatus(bool connected) = 0;
};

}  // namespace tw
