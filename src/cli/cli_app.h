#pragma once

#include <string>
#include <vector>

namespace tw {

// tarnwick-cli: parses the command line and runs one operation; returns the exit status.
int RunCli(int argc, char** argv);

}  // namespace tw
