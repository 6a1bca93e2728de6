#pragma once
// A program of the project started as a Windows user's script would: its output on pipes, read back
// with the console's CRLF line ends turned into LF.

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace tw::test {

struct ProgramResult {
  int status = -1;
  std::string out;
  std::string err;
};

class WindowsProcess {
 public:
  // arguments[0] names a program in the folder of this test program. Fails the test when it cannot start.
  explicit WindowsProcess(std::vector<std::string> arguments);
  // A process still running is ended.
  ~WindowsProcess();
  WindowsProcess(const WindowsProcess&) = delete;
  WindowsProcess& operator=(const WindowsProcess&) = delete;

  // The next line of standard output; empty at its end.
  [[nodiscard]] std::string ReadLine();
  // Reads both outputs to their ends and waits for the exit.
  [[nodiscard]] ProgramResult Finish();

 private:
  [[nodiscard]] bool Fill();

  HANDLE m_process = nullptr;
  HANDLE m_out = nullptr;
  HANDLE m_err = nullptr;
  std::string m_outBuffer;
  std::string m_errText;
  std::thread m_errReader;  // stderr drains on its own, so a chatty program never blocks on it
};

[[nodiscard]] ProgramResult RunProgram(std::vector<std::string> arguments);

}  // namespace tw::test
