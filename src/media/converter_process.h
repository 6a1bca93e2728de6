#pragma once
// One run of the external photo converter: started from an argument vector (never through a shell),
// waited for with a limit, killed and reaped when it overruns. The platform part lives in
// converter_process_<platform>.cpp.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class ConverterProcess {
 public:
  // arguments[0] is the name the program sees as its own. Nothing when the program cannot be started.
  [[nodiscard]] static std::unique_ptr<ConverterProcess> Start(const std::filesystem::path& program,
                                                               const std::vector<std::string>& arguments,
                                                               const std::filesystem::path& directory);
  ConverterProcess(const ConverterProcess&) = delete;
  ConverterProcess& operator=(const ConverterProcess&) = delete;
  // A converter still running is killed and reaped.
  ~ConverterProcess();

  // True once the converter has ended (and is reaped); false when it still runs after limit.
  [[nodiscard]] bool WaitFor(std::chrono::milliseconds limit);
  // Ends the converter and whatever it started, and reaps it.
  void Kill();

  // The first of folders holding an executable file named name.
  [[nodiscard]] static std::optional<std::filesystem::path> Find(std::string_view name,
                                                                 const std::vector<std::filesystem::path>& folders);
  // The folder of the running program.
  [[nodiscard]] static std::filesystem::path OwnFolder();
  // The folders of a PATH-style list, in order, empty entries left out.
  [[nodiscard]] static std::vector<std::filesystem::path> SplitSearchPath(std::string_view list);
  // The value of PATH, empty when unset.
  [[nodiscard]] static std::string SearchPathVariable();

 private:
  struct State;
  explicit ConverterProcess(std::unique_ptr<State> state);

  std::unique_ptr<State> m_state;
};

}  // namespace tw
