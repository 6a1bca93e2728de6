#pragma once

#include <QByteArray>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMimeData;

namespace tw {

// The clipboard forms of the viewer's bytes: raw bytes under "BinaryData" (by Qt's name for the
// Windows registered format and by the bare X11 target name) plus their text form.
class HexClipboard {
 public:
  static constexpr const char* kWindowsBinaryFormat = "application/x-qt-windows-mime;value=\"BinaryData\"";
  static constexpr const char* kX11BinaryFormat = "BinaryData";

  [[nodiscard]] static std::unique_ptr<QMimeData> MakeMime(const std::vector<std::uint8_t>& bytes,
                                                           const std::string& text);
  // The bytes to paste: "BinaryData" under either name, else the text as Latin-1 bytes.
  [[nodiscard]] static std::optional<QByteArray> ReadMime(const QMimeData* mime);
  [[nodiscard]] static bool CanPaste(const QMimeData* mime);

  // The application clipboard; Put hands ownership of the data to it.
  static void Put(const std::vector<std::uint8_t>& bytes, const std::string& text);
  [[nodiscard]] static std::optional<QByteArray> Take();
  [[nodiscard]] static bool ClipboardCanPaste();
};

}  // namespace tw
