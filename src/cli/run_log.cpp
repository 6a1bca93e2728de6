#include "cli/run_log.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "cli/locked_append.h"

namespace tw {

namespace {

constexpr const char* kHeader = "time,port,device,command,file,size,crc,result,seconds,status\n";

// Quoted when it holds a separator, a quote or a line break, so a spreadsheet keeps it one cell.
std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    return text;
  }
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  }
  return quoted + "\"";
}

std::string FormatLine(const RunRecord& record) {
  char crc[16] = "";
  if (record.crc) {
    std::snprintf(crc, sizeof crc, "%08X", *record.crc);
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f", record.seconds);
  return Field(record.time) + "," + Field(record.port) + "," + Field(record.device) + "," + Field(record.command) +
         "," + Field(record.file) + "," + (record.size ? std::to_string(*record.size) : "") + "," + crc + "," +
         Field(record.result) + "," + seconds + "," + std::to_string(record.status) + "\n";
}

void Complain(const std::string& path) {
  std::fprintf(stderr, "tarnwick-cli: cannot write the log %s: %s\n", path.c_str(), std::strerror(errno));
}

}  // namespace

std::string RunLog::Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &now);
#else
  gmtime_r(&now, &utc);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

bool RunLog::Check() const { return Write(""); }

bool RunLog::Append(const RunRecord& record) const { return Write(FormatLine(record)); }

bool RunLog::Write(const std::string& line) const {
  if (!AppendLocked(m_path, kHeader, line)) {
    Complain(m_path);
    return false;
  }
  return true;
}

}  // namespace tw
