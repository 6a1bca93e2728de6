#pragma once

namespace tw {

// The serial devices found, one tab-separated line each after a header line; the exit status.
int PortsCommand();

}  // namespace tw
