#include "session/image_loaders.h"

#include <algorithm>
#include <string>

#include "session/session_texts.h"
#include "session/transfer_size.h"

namespace tw {

namespace {

constexpr std::uint32_t kProgramHeaderSize = 64;
constexpr std::uint8_t kPlainImageMark = 0x01;
constexpr std::uint8_t kGzipMark = 0x1F;
constexpr std::string_view kGzipModelName = "QUORIX_MODEL_NAME_MAGIC_STRING";
static_assert(kGzipModelName.size() == kModelNameSize);

}  // namespace

bool ImageLoaders::OpenChosenFile(std::string_view filter) {
  const std::optional<std::string> path = m_context.host.AskOpenFile(std::string(filter));
  if (!path) {
    return false;
  }
  if (!m_context.state.imageFile.Open(*path)) {
    m_context.host.MessageBox(text::CantOpen(*path));
    return false;
  }
  return true;
}

bool ImageLoaders::Start() {
  m_context.state.fileSource = true;
  m_context.state.imageStart = m_context.state.imageFile.Position();
  if (!UpdateTransferSize(m_context)) {
    m_context.state.fileSource = false;
    m_context.state.imageFile.Close();
    return false;
  }
  m_context.SendHandshake();
  return true;
}

bool ImageLoaders::LoadProgramImage() {
  if (!OpenChosenFile(text::kProgramFilter)) {
    return false;
  }
  // The loader skips the image's 64-byte header: send what follows it, and announce that much.
  ImageFile& file = m_context.state.imageFile;
  if (file.Length() <= kProgramHeaderSize || !file.Seek(kProgramHeaderSize)) {
    file.Close();
    m_context.host.MessageBox(std::string(text::kInvalidFile));
    return false;
  }
  return Start();
}

bool ImageLoaders::LoadDatabaseImage() { return OpenChosenFile(text::kDatabaseFilter) && Start(); }

bool ImageLoaders::LoadBootImage() { return OpenChosenFile(text::kBootFilter) && Start(); }

bool ImageLoaders::LoadGzipProgramImage() {
  return OpenChosenFile(text::kGzipProgramFilter) && CheckModelName() && Start();
}

bool ImageLoaders::CheckModelName() {
  TransferState& state = m_context.state;
  std::uint8_t first = 0;
  const bool gotFirst = state.imageFile.Read(&first, 1) == 1;
  CLoaderLink::ModelName& model = m_context.link.ModelNameField();
  std::fill(model.begin(), model.end(), 0);
  state.imageFile.Read(model.data(), kModelNameSize);
  state.imageFile.Seek(0);

  if (gotFirst && first == kGzipMark) {
    std::copy(kGzipModelName.begin(), kGzipModelName.end(), model.begin());
    return true;
  }
  if (gotFirst && first == kPlainImageMark) {
    return true;
  }
  m_context.host.MessageBox(std::string(text::kInvalidFile));
  state.imageFile.Close();
  state.fileSource = false;
  return false;
}

}  // namespace tw
