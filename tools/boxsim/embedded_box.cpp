#include "boxsim/embedded_box.h"

namespace tw {

EmbeddedBox::EmbeddedBox(BoxOptions options)
    : m_pty(std::make_unique<PtyEndpoint>()),
      m_runner(std::make_unique<BoxRunner>(std::move(options), *m_pty, m_stop)),
      m_thread([this] { m_runner->Run(); }) {}

EmbeddedBox::~EmbeddedBox() {
  m_stop.Raise();
  m_thread.join();
}

std::string EmbeddedBox::DevicePath() const { return m_pty->Name(); }

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
