#include "boxsim/embedded_box.h"

#ifdef _WIN32
#include "boxsim/tcp_endpoint.h"
#else
#include "boxsim/pty_endpoint.h"
#endif

namespace tw {

namespace {

// Windows has no pseudo-terminals; the serial layer opens tcp:HOST:PORT there as well.
std::unique_ptr<BoxEndpoint> OpenLine() {
#ifdef _WIN32
  return std::make_unique<TcpEndpoint>("127.0.0.1", 0);
#else
  return std::make_unique<PtyEndpoint>();
#endif
}

}  // namespace

EmbeddedBox::EmbeddedBox(BoxOptions options)
    : m_line(OpenLine()),
      m_runner(std::make_unique<BoxRunner>(std::move(options), *m_line, m_stop)),
      m_thread([this] { m_runner->Run(); }) {}

EmbeddedBox::~EmbeddedBox() {
  m_stop.Raise();
  m_thread.join();
}

std::string EmbeddedBox::DevicePath() const { return m_line->Name(); }

std::filesystem::path EmbeddedBox::DiskDir() const {
  return m_runner->WithLoader([](const BoxLoader& loader) { return loader.Disk().Root(); });
}

std::vector<std::uint8_t> EmbeddedBox::ReadMemory(Mode mode, std::uint32_t address, std::size_t size) const {
  return m_runner->WithLoader([&](const BoxLoader& loader) {
    std::vector<std::uint8_t> bytes;
    const SparseMemory* area = loader.Memory().RegionFor(mode);
    if (area != nullptr && area->Contains(address, size)) {
      bytes.resize(size);
      area->Read(address, bytes.data(), size);
    }
    return bytes;
  });
}

bool EmbeddedBox::WriteMemory(Mode mode, std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
  return m_runner->WithLoader([&](BoxLoader& loader) {
    SparseMemory* area = loader.Memory().RegionFor(mode);
    if (area == nullptr || !area->Contains(address, bytes.size())) {
      return false;
    }
    area->Write(address, bytes.data(), bytes.size());
    return true;
  });
}

unsigned EmbeddedBox::FinishedTransfers() const {
  return m_runner->WithLoader([](const BoxLoader& loader) { return loader.FinishedTransfers(); });
}

bool EmbeddedBox::WaitForTransfers(unsigned count, std::chrono::milliseconds limit) const {
  return m_runner->WaitForTransfers(count, limit);
}

}  // namespace tw
