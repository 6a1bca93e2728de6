#pragma once

#include <QColor>
#include <QFrame>

#include "controls/percent_progress_model.h"

namespace tw {

// The main dialog's progress bar: a solid bar with the percentage, or a caption set through the window
// text, centred over it; the text changes colour where the bar passes under it.
// The client area is the frame's contents rectangle (give it a frame style for the dialog's border).
class CPercentProgressCtrl : public QFrame {
  Q_OBJECT

 public:
  explicit CPercentProgressCtrl(QWidget* parent = nullptr);

  // Returns the previous position. Repaints only when the bar's pixel width changes.
  int SetPos(int newPosition);
  [[nodiscard]] int GetPos() const { return m_model.Position(); }
  void SetShowText(bool show);
  // The caption; an empty text brings the percentage back. setWindowTitle does the same.
  void SetWindowText(const QString& text);
  [[nodiscard]] QString GetWindowText() const;
  // What the bar shows: the caption, else the percentage; empty while no text is shown.
  [[nodiscard]] QString DisplayedText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  PercentProgressModel m_model;
  QColor m_barColour;
  QColor m_backgroundColour;
  QColor m_textOnBackgroundColour;
  QColor m_textOnBarColour;
};

}  // namespace tw
