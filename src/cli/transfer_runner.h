#pragma once

#include "cli/console_job.h"
#include "cli/port_spec.h"
#include "link/wire_format.h"

namespace tw {

struct RunOptions {
  PortSpec port;
  int openSpeedIndex = kFastestSpeedIndex;  // the speed the box idles at; the job's speed is negotiated
  bool trace = false;
  bool simPaced = false;
};

// Connects, starts the job's operation and dispatches the box's replies until it ends; the exit status.
int RunTransfer(const ConsoleJob& job, const RunOptions& options);

}  // namespace tw
