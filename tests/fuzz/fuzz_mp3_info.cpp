// CMp3Info on arbitrary bytes: the first 8 bytes pick a declared file size (so huge and sparse files are
// reached too), the rest is the file's beginning.
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/wire_format.h"
#include "media/media_header_record.h"
#include "media/memory_byte_source.h"
#include "media/mp3_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  std::uint64_t declared = bytes.size();
  if (bytes.size() >= 8 && (bytes[0] & 1) != 0) {
    declared = static_cast<std::uint64_t>(tw::GetBigEndian32(data)) << 32 | tw::GetBigEndian32(data + 4);
    bytes = bytes.subspan(8);
  }
  tw::MemoryByteSource source(bytes, declared);
  const tw::CMp3Info info(source);
  const auto record = tw::MediaHeaderRecord::ForMp3(info.Title(), static_cast<std::uint32_t>(info.FileSize()),
                                                    info.Duration(), info.Id3v1());
  static_cast<void>(record);
  return 0;
}
