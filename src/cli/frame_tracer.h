#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <utility>

#include "cli/output_tag.h"

namespace tw {

// --trace: every frame both ways, decoded, with the time since the run started.
class FrameTracer {
 public:
  FrameTracer(std::FILE* out, OutputTag tag) : m_out(out), m_tag(std::move(tag)) {}

  void Trace(bool fromPc, const std::uint8_t* data, std::size_t count);

 private:
  void TracePc(const std::uint8_t* data, std::size_t count);
  void TraceBox(const std::uint8_t* data, std::size_t count);
  void Line(const char* direction, const char* what, const std::uint8_t* data, std::size_t count);

  std::FILE* m_out;
  OutputTag m_tag;     // with several ports, the lines of each are its own
  std::mutex m_mutex;  // the reader thread and the main thread both trace
  std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

}  // namespace tw
