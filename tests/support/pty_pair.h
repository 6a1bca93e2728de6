#pragma once
// A pseudo-terminal pair in raw mode: the program under test opens SlavePath(), the test plays the far
// end through the master.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw::test {

class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  [[nodiscard]] bool Valid() const { return m_master >= 0 && m_slave >= 0; }
  [[nodiscard]] int Master() const { return m_master; }
  [[nodiscard]] int Slave() const { return m_slave; }
  [[nodiscard]] const std::string& SlavePath() const { return m_slavePath; }

  // Writes all bytes to the master.
  bool Write(const std::uint8_t* data, std::size_t count);
  bool Write(std::string_view text);
  bool Write(const std::vector<std::uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }

  // Reads `count` bytes from the master; fewer when nothing comes for `idle` or the slave side hangs up.
  [[nodiscard]] std::vector<std::uint8_t> Read(std::size_t count,
                                               std::chrono::milliseconds idle = std::chrono::seconds(5));

  void CloseMaster();
  void CloseSlave();

 private:
  int m_master = -1;
  int m_slave = -1;
  std::string m_slavePath;
};

}  // namespace tw::test
