#include "controls/hex_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace tw {

std::unique_ptr<QMimeData> HexClipboard::MakeMime(const std::vector<std::uint8_t>& bytes, const std::string& text) {
  auto mime = std::make_unique<QMimeData>();
  const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  mime->setData(QString::fromLatin1(kWindowsBinaryFormat), raw);
  mime->setData(QString::fromLatin1(kX11BinaryFormat), raw);
  mime->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  return mime;
}

std::optional<QByteArray> HexClipboard::ReadMime(const QMimeData* mime) {
  if (mime == nullptr) {
    return std::nullopt;
  }
  for (const char* format : {kWindowsBinaryFormat, kX11BinaryFormat}) {
    if (mime->hasFormat(QString::fromLatin1(format))) {
      return mime->data(QString::fromLatin1(format));
    }
  }
  if (mime->hasText()) {
    return mime->text().toLatin1();
  }
  return std::nullopt;
}

bool HexClipboard::CanPaste(const QMimeData* mime) {
  return mime != nullptr && (mime->hasText() || mime->hasFormat(QString::fromLatin1(kWindowsBinaryFormat)) ||
                             mime->hasFormat(QString::fromLatin1(kX11BinaryFormat)));
}

void HexClipboard::Put(const std::vector<std::uint8_t>& bytes, const std::string& text) {
  QGuiApplication::clipboard()->setMimeData(MakeMime(bytes, text).release());
}

std::optional<QByteArray> HexClipboard::Take() { return ReadMime(QGuiApplication::clipboard()->mimeData()); }

bool HexClipboard::ClipboardCanPaste() { return CanPaste(QGuiApplication::clipboard()->mimeData()); }

}  // namespace tw
