#include <sys/wait.h>

#include <cstdio>

#include "media/converter_process.h"
#include "media/media_test_support.h"

namespace tw::test {

CommandResult RunCommand(const std::vector<std::string>& argv) {
  std::string command;
  for (const auto& arg : argv) {
    command += " '";
    for (const char c : arg) {
      command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    command += "'";
  }
  FILE* pipe = ::popen((command + " </dev/null 2>&1").c_str(), "r");
  if (pipe == nullptr) {
    return {};
  }
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

bool HaveTool(std::string_view name) {
  return ConverterProcess::Find(name, ConverterProcess::SplitSearchPath(ConverterProcess::SearchPathVariable()))
      .has_value();
}

}  // namespace tw::test
