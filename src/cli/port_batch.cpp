#include "cli/port_batch.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "cli/console_host.h"
#include "cli/file_digest.h"
#include "cli/port_board.h"
#include "cli/run_log.h"
#include "cli/signal_watcher.h"

namespace tw {

namespace {

RunRecord RecordOf(const PortJob& job, const RunReport& report, const std::string& startTime) {
  RunRecord record;
  record.time = startTime;
  record.port = report.port;
  record.device = report.device;
  record.command = job.options.subject.command;
  record.file = job.options.subject.file;
  if (const std::optional<FileDigest> digest = DigestFile(record.file)) {
    record.size = digest->size;
    record.crc = digest->crc;
  }
  record.result = OneLine(report.result);
  record.seconds = report.seconds;
  record.status = report.status;
  return record;
}

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", seconds);
  return text;
}

}  // namespace

std::string SummaryTable(const std::vector<RunReport>& reports) {
  std::vector<std::array<std::string, 5>> rows{{"port", "device", "result", "bytes", "time"}};
  for (const RunReport& report : reports) {
    rows.push_back(
        {report.port, report.device, OneLine(report.result), std::to_string(report.bytes), Seconds(report.seconds)});
  }
  std::array<std::size_t, 5> widths{};
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], row[i].size());
    }
  }
  std::string table;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += i + 1 < row.size() ? row[i] + std::string(widths[i] - row[i].size() + 2, ' ') : row[i];
    }
    table += line + "\n";
  }
  return table;
}

int RunPorts(std::vector<PortJob> jobs, const std::optional<std::string>& logFile) {
  Interrupts interrupts;
  SignalWatcher signals([&interrupts] { interrupts.Raise(); });
  std::mutex output;
  const bool several = jobs.size() > 1;
  std::vector<RunReport> reports(jobs.size());
  const auto runOne = [&jobs, &reports, &interrupts](std::size_t i) {
    reports[i] = TransferRunner(jobs[i].job, jobs[i].options, interrupts).Run();
  };
  const std::string startTime = RunLog::Now();
  if (several) {
    std::unique_ptr<PortBoard> board;
    if (isatty(fileno(stderr)) != 0 && !jobs.front().options.json) {
      board = std::make_unique<PortBoard>(stderr, jobs.size());
    }
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      jobs[i].options.output = {jobs[i].options.portText + ": ", &output, board.get(), i};
      threads.emplace_back(runOne, i);
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
    std::fputs(SummaryTable(reports).c_str(), stdout);
  } else {
    runOne(0);
  }
  int worst = kExitSuccess;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    worst = std::max(worst, reports[i].status);
    if (logFile && !RunLog(*logFile).Append(RecordOf(jobs[i], reports[i], startTime))) {
      worst = std::max<int>(worst, kExitFailure);
    }
  }
  return worst;
}

}  // namespace tw
