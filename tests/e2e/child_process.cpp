#include "child_process.h"

#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <stdexcept>

extern char** environ;

namespace tw::test {

namespace {

std::vector<char*> Argv(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  return argv;
}

pid_t Spawn(const std::vector<std::string>& arguments, int out, int err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  pid_t pid = -1;
  std::vector<char*> argv = Argv(arguments);
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

// Drains both pipes until both reach end of file. Every pipe is close-on-exec, so a program started
// meanwhile by another thread never holds a write end open and the end of file always comes.
void Collect(int out, int err, RunResult& result) {
  std::array<pollfd, 2> fds{pollfd{out, POLLIN, 0}, pollfd{err, POLLIN, 0}};
  std::array<std::string*, 2> sinks{&result.out, &result.err};
  int open = 2;
  std::array<char, 4096> buffer{};
  while (open > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) {
      continue;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      const ssize_t got = read(fds[i].fd, buffer.data(), buffer.size());
      if (got > 0) {
        sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

RunResult Run(const std::vector<std::string>& arguments) {
  int out[2];
  int err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe");
  }
  const pid_t pid = Spawn(arguments, out[1], err[1]);
  close(out[1]);
  close(err[1]);
  RunResult result;
  Collect(out[0], err[0], result);
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
    m_status = Status(m_pid);
  }
  return m_status;
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
