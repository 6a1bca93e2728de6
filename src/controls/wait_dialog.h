#pragma once

#include <QDialog>
#include <QSize>

class QLabel;

namespace tw {

// The modeless "please wait" window shown while a photo is converted or a media transfer starts: one
// centred line of text. One object serves every showing; showing it again replaces the text.
class CWaitDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTextControlId = 1020;

  // Sized in dialog units of its font; no parent, as the window stands on its own.
  explicit CWaitDialog(QWidget* parent = nullptr);

  // Re-lays the window out for other dialog base units: x = average character width, y = line height.
  void ApplyBaseUnits(QSize baseUnits);
  // Shows the window centred on mainDialog (on the screen when null) with the caption "Message".
  void ShowCentredOn(QWidget* mainDialog, const QString& text);
  void Hide();

  [[nodiscard]] bool IsShown() const { return isVisible(); }
  [[nodiscard]] QString Text() const;
  [[nodiscard]] static QSize FontBaseUnits(const QFont& font);

 private:
  void LayOut();

  QLabel* m_text;
  QSize m_baseUnits;
};

}  // namespace tw
