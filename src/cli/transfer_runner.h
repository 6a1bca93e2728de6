#pragma once

#include "cli/console_job.h"
#include "cli/port_spec.h"

namespace tw {

struct RunOptions {
  PortSpec port;
  bool trace = false;
  bool simPaced = false;
};

// Connects, starts the job's operation and dispatches the box's replies until it ends; the exit status.
int RunTransfer(const ConsoleJob& job, const RunOptions& options);

}  // namespace tw
