#pragma once

#include "ui/prompter.h"

namespace tw {

// The real questions: QMessageBox with the executable's base name as caption, and QFileDialog.
class WidgetPrompter : public Prompter {
 public:
  void MessageBox(QWidget* parent, const QString& text) override;
  [[nodiscard]] bool AskYesNo(QWidget* parent, const QString& text) override;
  [[nodiscard]] std::optional<QString> AskOpenFile(QWidget* parent, const QString& filter) override;
  [[nodiscard]] std::optional<QString> AskSaveFile(QWidget* parent, const QString& filter) override;

  // The caption of every message box: the running executable's name without folder and suffix.
  [[nodiscard]] static QString Caption();
};

}  // namespace tw
