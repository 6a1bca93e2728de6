#include "session_fixture.h"

#include <fstream>

namespace tw::test {

namespace {

PhotoConverterSettings NoConverter(const TempDir& dir) {
  PhotoConverterSettings settings;
  settings.startDirectory = dir.Path();
  settings.programDirectory = dir.Path();
  settings.searchPath = "";
  settings.tempFolder = dir.Make("tmp");
  return settings;
}

}  // namespace

SessionTest::SessionTest()
    : converter(NoConverter(m_temp), [this](const std::string& text) { host.messages.push_back(text); }) {
  session = std::make_unique<TransferSession>(link, host.Roles(), converter);
  link.SetDeviceOverride(1, "fake");
  EXPECT_TRUE(link.Connect(ComPort{}, kFastestSpeed, &host));
}

SessionTest::~SessionTest() {
  session.reset();
  link.Close();
}

void SessionTest::Box(Bytes chunk) { BoxSends({std::move(chunk)}); }

void SessionTest::BoxSends(std::vector<Bytes> chunks) {
  const std::size_t count = chunks.size();
  for (Bytes& chunk : chunks) {
    link.line->Feed(std::move(chunk));
  }
  for (std::size_t i = 0; i < count; ++i) {
    HandleNext();
  }
}

void SessionTest::HandleNext() {
  const std::optional<std::size_t> event = host.Next();
  ASSERT_TRUE(event.has_value()) << "the link delivered nothing";
  if (*event == ScriptedHost::kLineLost) {
    session->OnLineLost();
  } else {
    session->OnReceivedData(*event);
  }
}

void SessionTest::Reply(std::uint8_t code, std::uint8_t parameter) { Box(Frame(code, parameter)); }

Bytes Frame(std::uint8_t code, std::uint8_t parameter) { return {0x47, parameter, code, 0, 0, 0, 0, 0}; }

std::vector<Bytes> SessionTest::StartAndRequest() {
  EXPECT_TRUE(session->OnStart());
  Reply(rpl::kHello);
  Reply(rpl::kSpeedAck);
  link.line->ClearWrites();
  Reply(rpl::kGetRequest);
  return TakeWrites();
}

std::string SessionTest::Sending(std::size_t size) {
  host.openAnswer = GzipFile(size);
  StartAndRequest();
  Reply(rpl::kSendData);
  link.line->ClearWrites();
  return *host.openAnswer;
}

std::vector<Bytes> SessionTest::TakeWrites() {
  std::vector<Bytes> writes = link.line->Writes();
  link.line->ClearWrites();
  return writes;
}

std::string SessionTest::WriteFile(const std::string& name, const Bytes& bytes) {
  std::string path = (m_temp.Path() / name).string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string SessionTest::GzipFile(std::size_t size) { return WriteFile("image.gz", GzipImage(size)); }

Bytes Joined(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

Bytes Slice(const Bytes& source, std::size_t offset, std::size_t count) {
  return Bytes(source.begin() + static_cast<std::ptrdiff_t>(offset),
               source.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

std::uint32_t Announced(const std::vector<Bytes>& request, std::size_t offset) {
  return GetBigEndian32(request.at(1).data() + offset);
}

}  // namespace tw::test
