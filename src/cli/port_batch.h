#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/console_job.h"
#include "cli/transfer_runner.h"

namespace tw {

struct PortJob {
  ConsoleJob job;
  RunOptions options;
};

// Runs every port's job at once, each on a thread of its own with its own session, link and box; one
// port's failure never stops another. More than one port ends with a summary table on stdout. Appends each
// port's line to the log when one is given. The exit status is the worst of them.
int RunPorts(std::vector<PortJob> jobs, const std::optional<std::string>& logFile);

// The summary: port, device, result, bytes, time; columns aligned.
[[nodiscard]] std::string SummaryTable(const std::vector<RunReport>& reports);

}  // namespace tw
