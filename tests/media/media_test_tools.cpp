// Running the command-line tools some media tests use (an MP3 encoder, fake converters as scripts).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "media/converter_process.h"
#include "media/media_test_support.h"

extern char** environ;

namespace tw::test {

std::optional<CommandResult> RunCommand(const std::vector<std::string>& argv) {
  TempDir capture;
  const auto outPath = capture.Path() / "out";
  const auto errPath = capture.Path() / "err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> args;
  for (const auto& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv.at(0).c_str(), &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    return std::nullopt;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return CommandResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(outPath), ReadText(errPath)};
}

bool HaveTool(std::string_view name) {
  return ConverterProcess::Find(name, ConverterProcess::SplitSearchPath(ConverterProcess::SearchPathVariable()))
      .has_value();
}

}  // namespace tw::test
