#pragma once
// Runs a BoxLoader on an endpoint in the calling thread: waits for bytes, paces them as the wire
// would, feeds them to the loader and puts its replies on the line, until the stop is raised.

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "boxsim/box_endpoint.h"
#include "boxsim/box_line.h"
#include "boxsim/box_loader.h"
#include "boxsim/box_options.h"
#include "boxsim/line_pacer.h"
#include "boxsim/stop_signal.h"

namespace tw {

class BoxRunner final : public BoxLine {
 public:
  BoxRunner(BoxOptions options, BoxEndpoint& endpoint, const StopSignal& stop);

  // Returns when the stop is raised or the line is lost for good.
  void Run();

  // The loader, locked against the running thread, for inspection between frames.
  template <typename Visit>
  decltype(auto) WithLoader(Visit&& visit) {
    std::lock_guard lock(m_mutex);
    return visit(m_loader);
  }

  // Waits until the box has finished this many transfers; false on the time limit.
  [[nodiscard]] bool WaitForTransfers(unsigned count, std::chrono::milliseconds limit);

  void Write(const std::uint8_t* data, std::size_t size) override;
  void Pause(std::chrono::milliseconds duration) override;
  void SetBaud(std::uint32_t baud) override;

 private:
  BoxEndpoint& m_endpoint;
  const StopSignal& m_stop;
  LinePacer m_pacer;
  std::mutex m_mutex;
  std::condition_variable m_fed;
  BoxLoader m_loader;
};

}  // namespace tw
