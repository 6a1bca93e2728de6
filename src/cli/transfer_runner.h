#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/console_job.h"
#include "cli/interrupts.h"
#include "cli/json_progress.h"
#include "cli/output_tag.h"
#include "cli/port_spec.h"
#include "link/wire_format.h"

namespace tw {

class ConsoleHost;
class EmbeddedBox;
class ProgressView;

struct RunOptions {
  PortSpec port;
  std::string portText;                 // as given on the command line
  LineSpeed openSpeed = kFastestSpeed;  // the speed the box idles at; the job's speed is negotiated
  bool trace = false;
  bool simPaced = false;
  bool verify = false;
  bool json = false;
  RunSubject subject;
  OutputTag output;
};

// How one port's run ended.
struct RunReport {
  std::string port;
  std::string device;
  std::string result;
  std::uint64_t bytes = 0;
  double seconds = 0;
  int status = 1;
};

// One port's run: connects, starts the job's operation and dispatches the box's replies until it ends,
// then with --verify reads the bytes back on the same port and compares them.
class TransferRunner {
 public:
  TransferRunner(ConsoleJob job, RunOptions options, Interrupts& interrupts);
  ~TransferRunner();
  TransferRunner(const TransferRunner&) = delete;
  TransferRunner& operator=(const TransferRunner&) = delete;

  RunReport Run();

 private:
  int Transfer(ConsoleHost& host);
  int Verify(ProgressView& view);
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> SentBytes() const;

  ConsoleJob m_job;
  RunOptions m_options;
  Interrupts& m_interrupts;
  std::unique_ptr<EmbeddedBox> m_simulator;
  std::string m_verifyResult;
};

}  // namespace tw
