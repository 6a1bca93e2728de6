#pragma once

#include <QString>
#include <QWidget>

#include "controls/skin_colors.h"

namespace tw {

class SkinCanvas;

// Base of the owner-drawn check boxes and radio buttons: the colour set, the press and capture rules and
// the drawing of everything but the box. The box sits left, the text right, both vertically centred.
class CSkinButton : public QWidget {
  Q_OBJECT

 public:
  // Returns the previous state; repaints the box when the state changes.
  int SetCheck(int state);
  [[nodiscard]] int GetCheck() const { return m_checkState; }
  [[nodiscard]] QString Text() const { return m_text; }
  [[nodiscard]] bool IsPressed() const { return m_pressed; }
  [[nodiscard]] bool IsRadio() const { return m_buttonType == Kind::RadioButton; }
  // A click from elsewhere than the mouse or the space bar (an assistive tool): the kind's own rule.
  void Click() { Activate(); }
  [[nodiscard]] const SkinColors& Colors() const { return m_colors; }
  // The area that a state change repaints: the box with a margin, in client coordinates.
  [[nodiscard]] QRect BoxArea() const;
  [[nodiscard]] QSize sizeHint() const override;

 signals:
  void clicked();

 protected:
  enum class Kind { CheckBox = 1, RadioButton = 2 };

  CSkinButton(Kind kind, const QString& text, QWidget* parent);

  // A release inside the control, or the space bar's release: the kind's own check and notify rule.
  virtual void Activate() = 0;
  // Draws the box inside BoxArea() (given in the canvas' coordinates).
  virtual void DrawBox(SkinCanvas& canvas, const QRect& area) const = 0;
  // The check state has just changed, by the user or the program.
  virtual void CheckChanged() {}

  void RepaintBox();

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  [[nodiscard]] QRect TextRect() const;
  void Press();

  Kind m_buttonType;
  bool m_pressed = false;
  int m_checkState = 0;
  bool m_captured = false;
  QString m_text;
  SkinColors m_colors;
};

}  // namespace tw
