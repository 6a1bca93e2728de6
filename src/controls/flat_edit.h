#pragma once

#include <QColor>
#include <QLineEdit>

namespace tw {

// The address edits: a flat inner frame, and only hexadecimal digits, "x", "X" and control characters
// may be typed (pasted text is not filtered).
class CFlatEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit CFlatEdit(QWidget* parent = nullptr);

  [[nodiscard]] static bool AcceptsChar(QChar ch);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QColor m_face;
};

}  // namespace tw
