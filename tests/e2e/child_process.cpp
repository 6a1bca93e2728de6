#include "child_process.h"

#include "support/pty_pair.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <future>
#include <stdexcept>

extern char** environ;

namespace tw::test {

namespace {

pid_t Spawn(const std::vector<std::string>& arguments, int out, int err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  pid_t pid = -1;
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  const int result = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) {
    throw std::runtime_error("cannot start " + arguments[0]);
  }
  return pid;
}

int Status(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Reads to the end of file. Every pipe is close-on-exec, so a program started meanwhile by another thread
// never holds a write end open and the end of file always comes.
std::string ReadAll(int fd) {
  std::string text;
  std::array<char, 4096> buffer{};
  ssize_t got = 0;
  while ((got = read(fd, buffer.data(), buffer.size())) > 0 || (got < 0 && errno == EINTR)) {
    text.append(buffer.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  }
  close(fd);
  return text;
}

}  // namespace

RunResult Run(const std::vector<std::string>& arguments) {
  int out[2];
  int errors[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(errors, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe");
  }
  const pid_t pid = Spawn(arguments, out[1], errors[1]);
  close(out[1]);
  close(errors[1]);
  // stderr drains beside stdout, so a program that fills one pipe never blocks on it.
  std::future<std::string> err = std::async(std::launch::async, ReadAll, errors[0]);
  RunResult result{.out = ReadAll(out[0]), .err = err.get()};
  result.status = Status(pid);
  return result;
}

RunResult RunOnTerminal(const std::vector<std::string>& arguments) {
  PtyPair terminal;
  const pid_t pid = Spawn(arguments, terminal.Slave(), terminal.Slave());
  terminal.CloseSlave();
  // Until the program's end hangs the terminal up.
  const std::vector<std::uint8_t> shown = terminal.Read(SIZE_MAX, std::chrono::seconds(60));
  RunResult result;
  result.out.assign(shown.begin(), shown.end());
  result.status = Status(pid);
  return result;
}

int RunWithoutReader(const std::vector<std::string>& arguments) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe");
  }
  close(out[0]);
  const pid_t pid = Spawn(arguments, out[1], out[1]);
  close(out[1]);
  return Status(pid);
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& arguments, FirstLineFrom from) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe");
  }
  m_pid = from == FirstLineFrom::Out ? Spawn(arguments, out[1], 2) : Spawn(arguments, 1, out[1]);
  close(out[1]);
  m_out = out[0];
  m_firstLine = NextLine();
}

std::string BackgroundProcess::NextLine() {
  std::string line;
  char c = 0;
  while (read(m_out, &c, 1) == 1 && c != '\n') {
    line += c;
  }
  return line;
}

int BackgroundProcess::Stop(int signal) {
  if (m_status < 0) {
    kill(m_pid, signal);
  }
  return Wait();
}

int BackgroundProcess::Wait() {
  if (m_status < 0) {
    m_status = Status(m_pid);
  }
  return m_status;
}

BackgroundProcess::~BackgroundProcess() {
  Stop(SIGTERM);
  close(m_out);
}

std::string BinPath(const std::string& program) { return std::string(TARNWICK_BIN_DIR) + "/" + program; }

}  // namespace tw::test
