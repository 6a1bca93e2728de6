#pragma once

#include <QComboBox>
#include <QTimer>

#include "controls/flat_combo_box_hover.h"

namespace tw {

// An editable drop-down combo box with a flat frame that turns three-dimensional while the mouse is over
// it, and completion of typed text from its list. The user's choice from the list arrives as activated().
class CFlatComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit CFlatComboBox(QWidget* parent = nullptr);

  [[nodiscard]] FlatFrameState FrameState() const { return m_frame; }
  void hidePopup() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnEditUpdate();
  void OnHoverTick();
  void EndPress();
  [[nodiscard]] QStringList Items() const;

  QTimer m_hoverTimer;
  bool m_autoComplete = true;
  bool m_buttonDown = false;
  FlatFrameState m_frame = FlatFrameState::Normal;
};

}  // namespace tw
