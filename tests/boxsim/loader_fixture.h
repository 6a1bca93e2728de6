#pragma once
// Drives a BoxLoader byte by byte with the scripted PC: no threads, no timing.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "boxsim/box_line.h"
#include "boxsim/box_loader.h"
#include "support/scripted_pc.h"
#include "support/temp_dir.h"
#include "support/test_bytes.h"

namespace tw::test {

class FakeLine final : public BoxLine {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override {
    writes.emplace_back(data, data + size);
    output.Append(data, size);
  }
  void Pause(std::chrono::milliseconds duration) override { pauses.push_back(duration); }
  void SetBaud(std::uint32_t baud) override { bauds.push_back(baud); }

  std::vector<Bytes> writes;
  std::vector<std::chrono::milliseconds> pauses;
  std::vector<std::uint32_t> bauds;
  BoxOutput output;
};

inline std::vector<BoxReply> Codes(std::initializer_list<std::uint8_t> codes) {
  std::vector<BoxReply> replies(codes.size());
  std::transform(codes.begin(), codes.end(), replies.begin(), [](std::uint8_t code) { return BoxReply{code, 0}; });
  return replies;
}

class LoaderFixture : public ::testing::Test {
 protected:
  void Start(BoxOptions options = {}) {
    options.settle = std::chrono::milliseconds(0);
    m_loader = std::make_unique<BoxLoader>(std::move(options), m_line);
  }

  std::vector<BoxReply> Send(const Bytes& bytes) {
    m_loader->Feed(bytes.data(), bytes.size());
    return m_line.output.Replies();
  }

  void Negotiate() {
    ASSERT_EQ(Send(ScriptedPc::Handshake()), Codes({rpl::kHello}));
    ASSERT_EQ(Send(ScriptedPc::SetSpeed(4)), Codes({rpl::kSpeedAck}));
    ASSERT_EQ(Send(ScriptedPc::SpeedConfirm()), Codes({rpl::kGetRequest}));
  }

  // A whole file or media download; the replies after RPL_SEND_DATA, in order.
  std::vector<BoxReply> Download(Mode mode, std::uint32_t address, const Bytes& data) {
    Negotiate();
    auto replies = Send(ScriptedPc::Request(true, mode, address, static_cast<std::uint32_t>(data.size())));
    if (replies != Codes({rpl::kSendData})) {
      return replies;
    }
    replies.clear();
    const bool viewer = mode == Mode::Sdram || mode == Mode::Flash || mode == Mode::Eeprom;
    std::size_t offset = 0;
    do {
      const std::size_t n = std::min<std::size_t>(data.size() - offset, kBlockSize);
      const std::span<const std::uint8_t> block(data.data() + offset, n);
      const Bytes frame =
          viewer ? ScriptedPc::ViewerBlock(block) : (offset == 0 ? m_pc.FirstBlock(block) : m_pc.NextBlock(block));
      const auto answer = Send(frame);
      replies.insert(replies.end(), answer.begin(), answer.end());
      offset += n;
      if (answer.empty() || answer.back().code != rpl::kBlockOk) {
        break;
      }
    } while (offset < data.size());
    return replies;
  }

  // A whole upload, acknowledging each block; the bytes received.
  Bytes Upload(Mode mode, std::uint32_t address, std::uint32_t size) {
    Negotiate();
    const Bytes request = ScriptedPc::Request(false, mode, address, size);
    m_loader->Feed(request.data(), request.size());
    Bytes received;
    for (;;) {
      m_lastReply = m_line.output.NextReply();
      if (!m_lastReply || m_lastReply->code != rpl::kUploadData) {
        break;
      }
      const Bytes chunk = m_line.output.TakeData(std::min<std::size_t>(size - received.size(), kBlockSize));
      received.insert(received.end(), chunk.begin(), chunk.end());
      const Bytes ack = ScriptedPc::UploadAck();
      m_loader->Feed(ack.data(), ack.size());
      if (received.size() >= size) {
        break;
      }
    }
    return received;
  }

  FakeLine m_line;
  ScriptedPc m_pc;
  std::unique_ptr<BoxLoader> m_loader;
  std::optional<BoxReply> m_lastReply;
};

}  // namespace tw::test
