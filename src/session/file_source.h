#pragma once

#include <vector>

#include "session/block_source.h"
#include "session/image_file.h"

namespace tw {

// An open file read block by block from `start`, optionally behind a prefix held in memory (the media
// header record of an MP3), so that no file is ever held whole.
class FileSource final : public BlockSource {
 public:
  FileSource(ImageFile file, std::uint64_t start, std::vector<std::uint8_t> prefix = {});

  [[nodiscard]] std::uint64_t Size() const override;
  // A short read (the file shrank meanwhile) is a failure, never padding.
  [[nodiscard]] bool Read(std::uint64_t offset, std::uint8_t* out, std::size_t count) override;
  [[nodiscard]] const std::string& Name() const override { return m_file.Path(); }

 private:
  ImageFile m_file;
  std::uint64_t m_start;
  std::vector<std::uint8_t> m_prefix;
};

}  // namespace tw
