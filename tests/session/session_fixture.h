#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/loader_link.h"
#include "link/serial_backend.h"
#include "media/photo_converter.h"
#include "scripted_host.h"
#include "session/transfer_session.h"
#include "support/fake_serial_backend.h"
#include "support/temp_dir.h"
#include "support/test_bytes.h"

namespace tw::test {

// A reply frame as the box sends it.
[[nodiscard]] Bytes Frame(std::uint8_t code, std::uint8_t parameter = 0);
[[nodiscard]] Bytes Joined(const std::vector<Bytes>& parts);
[[nodiscard]] Bytes Slice(const Bytes& source, std::size_t offset, std::size_t count);
// A field of a request's payload.
[[nodiscard]] std::uint32_t Announced(const std::vector<Bytes>& request, std::size_t offset);

class ScriptedLink : public LoaderLink {
 public:
  std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();

 protected:
  std::unique_ptr<SerialBackend> MakeBackend() override { return std::make_unique<FakeSerialBackend>(line); }
};

// A session on a scripted line: the test plays the box and the dialog's thread.
class SessionTest : public ::testing::Test {
 protected:
  SessionTest();
  ~SessionTest() override;

  // The box sends `chunk`; the session handles it as the dialog's thread would.
  void Box(Bytes chunk);
  void Reply(std::uint8_t code, std::uint8_t parameter = 0);
  // The box sends all `chunks` at once; the session reads them one by one, as slowly as its host is.
  void BoxSends(std::vector<Bytes> chunks);

  // Start, then the box's replies up to the request, which is returned (header and payload).
  std::vector<Bytes> StartAndRequest();
  // A gzip image of `size` bytes sent up to its first block, the writes so far cleared; returns its path.
  std::string Sending(std::size_t size);
  // Handles the link's next notification as the dialog's thread would.
  void HandleNext();
  [[nodiscard]] std::vector<Bytes> TakeWrites();
  std::string WriteFile(const std::string& name, const Bytes& bytes);
  std::string GzipFile(std::size_t size);

  TempDir m_temp;
  ScriptedHost host;
  ScriptedLink link;
  PhotoConverter converter;
  std::unique_ptr<TransferSession> session;
};

}  // namespace tw::test
