#pragma once
// A simulated box on a fresh pseudo-terminal (on Windows a loopback TCP port), running in a thread of its
// own: the PC opens DevicePath().
// The destructor stops and joins the box.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "boxsim/box_endpoint.h"
#include "boxsim/box_options.h"
#include "boxsim/box_runner.h"
#include "boxsim/stop_signal.h"
#include "link/wire_format.h"

namespace tw {

class EmbeddedBox {
 public:
  // Throws std::runtime_error when no pseudo-terminal (or port) can be had.
  explicit EmbeddedBox(BoxOptions options);
  ~EmbeddedBox();
  EmbeddedBox(const EmbeddedBox&) = delete;
  EmbeddedBox& operator=(const EmbeddedBox&) = delete;

  [[nodiscard]] std::string DevicePath() const;
  [[nodiscard]] std::filesystem::path DiskDir() const;

  // The memory of a mode at box addresses (program and boot slots start at 0); empty outside it.
  [[nodiscard]] std::vector<std::uint8_t> ReadMemory(Mode mode, std::uint32_t address, std::size_t size) const;
  // False outside the mode's memory.
  bool WriteMemory(Mode mode, std::uint32_t address, const std::vector<std::uint8_t>& bytes);

  [[nodiscard]] unsigned FinishedTransfers() const;
  // Downloads complete and uploads fully acknowledged; false when the limit passes first.
  [[nodiscard]] bool WaitForTransfers(unsigned count, std::chrono::milliseconds limit) const;

 private:
  StopSignal m_stop;
  std::unique_ptr<BoxEndpoint> m_line;
  std::unique_ptr<BoxRunner> m_runner;
  std::thread m_thread;
};

}  // namespace tw
