#pragma once
// Runs the project's programs as a user would: a finished run with its output, or a server in the
// background whose first output line is read.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tw::test {

struct RunResult {
  int status = -1;  // exit status; 128 + signal when killed
  std::string out;
  std::string err;
};

[[nodiscard]] RunResult Run(const std::vector<std::string>& arguments);
// Runs with stdout and stderr on one terminal; out is what the terminal received.
[[nodiscard]] RunResult RunOnTerminal(const std::vector<std::string>& arguments);
// Runs with stdout and stderr on a pipe whose reader has already gone; the exit status.
[[nodiscard]] int RunWithoutReader(const std::vector<std::string>& arguments);

class BackgroundProcess {
 public:
  enum class FirstLineFrom { Out, Err };

  explicit BackgroundProcess(const std::vector<std::string>& arguments, FirstLineFrom from = FirstLineFrom::Out);
  ~BackgroundProcess();
  BackgroundProcess(const BackgroundProcess&) = delete;
  BackgroundProcess& operator=(const BackgroundProcess&) = delete;

  // The first line the process wrote on stdout, without its line feed.
  [[nodiscard]] const std::string& FirstLine() const { return m_firstLine; }
  // The line after those read so far, from the same stream.
  [[nodiscard]] std::string NextLine();
  [[nodiscard]] pid_t Pid() const { return m_pid; }
  // Sends the signal and returns the exit status.
  int Stop(int signal);
  // Waits for the process to end by itself and returns the exit status.
  int Wait();

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  int m_status = -1;
  std::string m_firstLine;
};

[[nodiscard]] std::string BinPath(const std::string& program);

}  // namespace tw::test
