#pragma once
// Everything a simulated box can be told: its limits, its timing and the faults it plays.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

// A reply sent in addition, before the box's own answer, when the given block comes up.
struct InjectedReply {
  unsigned block = 1;  // 1-based block of the download (first arrival) or of the upload
  std::uint8_t code = 0;
  std::uint8_t parameter = 0;
};

struct BoxFaults {
  unsigned corruptEvery = 0;  // the first arrival of every Nth block is taken as corrupted; 0: never
  bool splitReplies = false;  // each reply goes out in fragments, with a small gap between them
  std::chrono::milliseconds splitGap{5};
  bool joinReplies = false;                      // replies (and upload data) of one turn go out as one write
  bool silent = false;                           // the handshake is never answered
  std::optional<unsigned> failAfterBlocks;       // RPL_BLOCK_FAILED for the block after N stored ones
  std::optional<unsigned> nakAfterUploadBlocks;  // RPL_GET_DATA_NAK in place of upload block N+1
  std::optional<std::uint32_t> flipByte;         // this offset of a memory download is stored inverted
  std::vector<InjectedReply> injections;
  bool diskFull = false;
  bool photosFull = false;
};

inline constexpr std::uint64_t kDefaultDiskSize = 256ull << 20;
inline constexpr unsigned kDefaultMaxPhotos = 200;
inline constexpr unsigned kDefaultFlashReportEvery = 16;
inline constexpr std::uint32_t kDefaultIdleBaud = 115200;

struct BoxOptions {
  std::filesystem::path stateDir;   // empty: the memory lives as long as the box
  std::filesystem::path diskDir;    // empty: <stateDir>/disk, or a temporary folder removed at the end
  std::vector<std::string> models;  // accepted model names of program images; empty accepts any
  std::uint64_t diskSize = kDefaultDiskSize;
  unsigned maxPhotos = kDefaultMaxPhotos;
  unsigned flashReportEvery = kDefaultFlashReportEvery;  // 0: never report flash writing
  std::chrono::milliseconds settle{100};
  bool paced = true;
  bool completeOnly = false;  // RPL_COMPLETE in place of the last block's RPL_BLOCK_OK
  std::uint32_t idleBaud = kDefaultIdleBaud;
  std::uint32_t seed = 1;
  BoxFaults faults;
  std::function<void(std::string_view)> trace;  // one decoded line per frame; empty: no trace
};

}  // namespace tw
