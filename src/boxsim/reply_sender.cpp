#include "boxsim/reply_sender.h"

#include <algorithm>

#include "link/wire_format.h"

namespace tw {

ReplySender::ReplySender(BoxLine& line, const BoxFaults& faults, std::uint32_t seed, BoxTrace& trace)
    : m_line(line), m_faults(faults), m_trace(trace), m_random(seed) {}

void ReplySender::Reply(std::uint8_t code, std::uint8_t parameter) {
  std::array<std::uint8_t, kReplySize> frame{};
  frame[0] = kHeaderMagic;
  frame[1] = parameter;
  frame[2] = code;
  m_trace.Reply(code, parameter);
  if (m_faults.joinReplies) {
    m_held.insert(m_held.end(), frame.begin(), frame.end());
  } else if (m_faults.splitReplies) {
    EmitInFragments(frame.data(), frame.size());
  } else {
    Emit(frame.data(), frame.size());
  }
}

void ReplySender::Data(const std::uint8_t* data, std::size_t size) {
  m_trace.UploadData(size);
  if (m_faults.joinReplies) {
    m_held.insert(m_held.end(), data, data + size);
  } else {
    Emit(data, size);
  }
}

void ReplySender::Flush() {
  if (m_held.empty()) {
    return;
  }
  std::vector<std::uint8_t> held;
  held.swap(m_held);
  if (m_faults.splitReplies) {
    EmitInFragments(held.data(), held.size());
  } else {
    Emit(held.data(), held.size());
  }
}

void ReplySender::Emit(const std::uint8_t* data, std::size_t size) { m_line.Write(data, size); }

void ReplySender::EmitInFragments(const std::uint8_t* data, std::size_t size) {
  // Two or three pieces cut at seeded places, so a run can be repeated exactly.
  std::vector<std::size_t> cuts;
  if (size > 1) {
    std::uniform_int_distribution<std::size_t> at(1, std::min<std::size_t>(size - 1, kReplySize - 1));
    const int count = std::uniform_int_distribution<int>(1, 2)(m_random);
    for (int i = 0; i < count; ++i) {
      cuts.push_back(at(m_random));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  }
  cuts.push_back(size);
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    if (from > 0) {
      m_line.Pause(m_faults.splitGap);
    }
    Emit(data + from, cut - from);
    from = cut;
  }
}

}  // namespace tw
