#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// One port's run as --log records it.
struct RunRecord {
  std::string time;  // UTC, ISO 8601
  std::string port;
  std::string device;
  std::string command;
  std::string file;
  std::optional<std::uint64_t> size;
  std::optional<std::uint32_t> crc;
  std::string result;
  double seconds = 0;
  int status = 0;
};

// --log FILE: CSV, a header line when the file is new, then one line per port and run. Runs at once append
// whole lines: each line is one write under an exclusive lock of the file.
class RunLog {
 public:
  explicit RunLog(std::string path) : m_path(std::move(path)) {}

  // Creates the file when missing; false, with the reason on stderr, when it cannot be appended to.
  [[nodiscard]] bool Check() const;
  [[nodiscard]] bool Append(const RunRecord& record) const;
  [[nodiscard]] static std::string Now();

 private:
  [[nodiscard]] bool Write(const std::string& line) const;

  std::string m_path;
};

}  // namespace tw
