#pragma once

#include <cstddef>
#include <string>

namespace tw {

// The owner of a serial link: the target of its notifications.
class ChunkSink {
 public:
  virtual ~ChunkSink() = default;

  // Reader thread: a chunk of `length` bytes waits in the link's receive buffer. The owner must hand
  // this over to its own thread (a posted event) and there call the link's ReleaseChunk when done.
  virtual void PostReceivedData(std::size_t length) = 0;

  // Reader thread: the device hung up (end of file or I/O error, as an unplugged adapter does).
  // The link is already marked not connected; the owner posts this to its own thread too.
  virtual void PostLineLost() = 0;

  // Owner's thread: a message for the operator ("Can't Open Comm Port %d !").
  virtual void ShowPortMessage(const std::string& text) = 0;
};

}  // namespace tw
