#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace tw {

// The dialog's modal questions to the operator: message boxes and file pickers. The dialog asks through
// this seam so that tests can answer for the operator.
class Prompter {
 public:
  virtual ~Prompter() = default;

  // A modal box with an OK button; returns when it is closed.
  virtual void MessageBox(QWidget* parent, const QString& text) = 0;
  // A modal question with Yes and No; true for Yes.
  [[nodiscard]] virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  // The filter is in Qt's form ("Text (*.a *.b);;Text (*.c)"). Nothing when cancelled.
  [[nodiscard]] virtual std::optional<QString> AskOpenFile(QWidget* parent, const QString& filter) = 0;
  [[nodiscard]] virtual std::optional<QString> AskSaveFile(QWidget* parent, const QString& filter) = 0;
};

}  // namespace tw
