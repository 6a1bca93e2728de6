#include "media/converter_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

extern char** environ;

namespace tw {
namespace {

// RAII for the spawn attribute objects.
struct SpawnSetup {
  posix_spawn_file_actions_t actions{};
  posix_spawnattr_t attributes{};
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
  }
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

[[nodiscard]] int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

}  // namespace

struct ConverterProcess::State {
  pid_t pid = -1;
  int pidFd = -1;  // -1 on kernels without pidfd: the wait then polls waitpid
  bool reaped = false;

  ~State() {
    if (pidFd >= 0) {
      close(pidFd);
    }
  }

  bool TryReap(int options) {
    int status = 0;
    pid_t result;
    do {
      result = waitpid(pid, &status, options);
    } while (result < 0 && errno == EINTR);
    reaped = result == pid || (result < 0 && errno == ECHILD);
    return reaped;
  }
};

std::unique_ptr<ConverterProcess> ConverterProcess::Start(const std::filesystem::path& program,
                                                          const std::vector<std::string>& arguments,
                                                          const std::filesystem::path& directory) {
  SpawnSetup setup;
  posix_spawn_file_actions_addchdir_np(&setup.actions, directory.c_str());
  posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&setup.actions, STDERR_FILENO + 1);  // no inherited handles
#endif
  // Its own process group, so a timeout ends whatever the converter started too.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&setup.attributes, &noSignals);
  posix_spawnattr_setpgroup(&setup.attributes, 0);
  posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const auto& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);

  auto state = std::make_unique<State>();
  if (posix_spawn(&state->pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ) != 0) {
    return nullptr;
  }
  state->pidFd = OpenPidFd(state->pid);
  return std::unique_ptr<ConverterProcess>(new ConverterProcess(std::move(state)));
}

ConverterProcess::ConverterProcess(std::unique_ptr<State> state) : m_state(std::move(state)) {}

ConverterProcess::~ConverterProcess() {
  if (!m_state->reaped) {
    Kill();
  }
}

bool ConverterProcess::WaitFor(std::chrono::milliseconds limit) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + limit;
  constexpr std::chrono::milliseconds kFallbackTick{20};
  while (!m_state->TryReap(WNOHANG)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      return false;
    }
    if (m_state->pidFd >= 0) {
      pollfd ready{m_state->pidFd, POLLIN, 0};
      poll(&ready, 1, static_cast<int>(left.count()));
    } else {
      const auto tick = std::min(left, kFallbackTick);
      poll(nullptr, 0, static_cast<int>(tick.count()));
    }
  }
  return true;
}

void ConverterProcess::Kill() {
  if (m_state->reaped) {
    return;
  }
  kill(-m_state->pid, SIGKILL);
  m_state->TryReap(0);
}

std::optional<std::filesystem::path> ConverterProcess::Find(std::string_view name,
                                                            const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : folders) {
    const auto candidate = folder / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error) && access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
  }
  return std::nullopt;
}

std::filesystem::path ConverterProcess::OwnFolder() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::current_path(error) : self.parent_path();
}

}  // namespace tw
