#include "session/image_loaders.h"

#include <algorithm>
#include <memory>
#include <string>

#include "session/file_source.h"
#include "session/session_texts.h"

namespace tw {

namespace {

constexpr std::uint8_t kPlainImageMark = 0x01;
constexpr std::uint8_t kGzipMark = 0x1F;
constexpr std::string_view kGzipModelName = "QUORIX_MODEL_NAME_MAGIC_STRING";
static_assert(kGzipModelName.size() == kModelNameSize);

}  // namespace

std::optional<ImageFile> ImageLoaders::OpenChosenFile(std::string_view filter) {
  const std::optional<std::string> path = m_context.host.prompts.AskOpenFile(std::string(filter));
  if (!path) {
    return std::nullopt;
  }
  ImageFile file;
  if (!file.Open(*path)) {
    m_context.host.prompts.MessageBox(text::CantOpen(*path));
    return std::nullopt;
  }
  return file;
}

bool ImageLoaders::Start(Mode mode, ImageFile file, std::uint64_t start) {
  TransferPlan plan = m_context.NewPlan(mode, true);
  plan.source = std::make_unique<FileSource>(std::move(file), start);
  return m_context.Accept(std::move(plan));
}

// The loader skips the image's 64-byte header: it sends what follows it, and announces that much.
bool ImageLoaders::LoadProgramImage() {
  std::optional<ImageFile> file = OpenChosenFile(text::kProgramFilter);
  if (!file) {
    return false;
  }
  if (file->Length() <= kProgramHeaderSize) {
    m_context.host.prompts.MessageBox(std::string(text::kInvalidFile));
    return false;
  }
  return Start(Mode::Program, std::move(*file), kProgramHeaderSize);
}

bool ImageLoaders::LoadDatabaseImage() {
  std::optional<ImageFile> file = OpenChosenFile(text::kDatabaseFilter);
  return file && Start(Mode::Database, std::move(*file), 0);
}

bool ImageLoaders::LoadBootImage() {
  std::optional<ImageFile> file = OpenChosenFile(text::kBootFilter);
  return file && Start(Mode::Boot, std::move(*file), 0);
}

bool ImageLoaders::LoadGzipProgramImage() {
  std::optional<ImageFile> file = OpenChosenFile(text::kGzipProgramFilter);
  return file && CheckModelName(*file) && Start(Mode::GzipProgram, std::move(*file), 0);
}

bool ImageLoaders::CheckModelName(ImageFile& file) {
  std::uint8_t first = 0;
  const bool gotFirst = file.Read(&first, 1) == 1;
  LoaderLink::ModelName& model = m_context.link.ModelNameField();
  std::fill(model.begin(), model.end(), 0);
  file.Read(model.data(), kModelNameSize);

  if (gotFirst && first == kGzipMark) {
    std::copy(kGzipModelName.begin(), kGzipModelName.end(), model.begin());
    return true;
  }
  if (gotFirst && first == kPlainImageMark) {
    return true;
  }
  m_context.host.prompts.MessageBox(std::string(text::kInvalidFile));
  return false;
}

}  // namespace tw
