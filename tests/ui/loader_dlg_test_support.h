#pragma once
// The operator, played by a test: answers file pickers from a queue and notes every message box.

#include <QEventLoop>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "controls/flat_combo_box.h"
#include "ui/dialog_host.h"
#include "ui/prompter.h"

namespace tw::test {

class ScriptedPrompter : public Prompter {
 public:
  void MessageBox(QWidget*, const QString& text) override { messages.append(text); }
  bool AskYesNo(QWidget*, const QString& text) override {
    questions.append(text);
    return yes;
  }
  std::optional<QString> AskOpenFile(QWidget*, const QString& filter) override { return Answer(filter); }
  std::optional<QString> AskSaveFile(QWidget*, const QString& filter) override { return Answer(filter); }

  QStringList messages;
  QStringList questions;
  bool yes = false;     // the answer to every question
  QStringList filters;  // every picker's filter, in order
  QStringList answers;  // taken in order; an empty answer, or none left, cancels the picker
  // Runs while a picker is open, as a slow operator keeps it open: the dialog's events go on meanwhile.
  std::function<void()> whilePicking;

 private:
  std::optional<QString> Answer(const QString& filter) {
    filters.append(filter);
    if (whilePicking) {
      std::exchange(whilePicking, nullptr)();
    }
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
  }
};

// The user's choice in a combo, as the drop-down list makes it.
inline void Choose(CFlatComboBox& combo, int index) {
  combo.setCurrentIndex(index);
  emit combo.activated(index);
}

// Runs the event loop until the message `text` has been shown (now or earlier); false when `limitMs`
// passes first, which only guards against a hang.
inline bool WaitForMessage(DialogHost& host, const ScriptedPrompter& prompter, const QString& text,
                           int limitMs = 60000) {
  if (prompter.messages.contains(text)) {
    return true;
  }
  QEventLoop loop;
  QObject::connect(&host, &DialogHost::MessageShown, &loop, [&loop, &text](const QString& shown) {
    if (shown == text) {
      loop.quit();
    }
  });
  QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
  loop.exec();
  return prompter.messages.contains(text);
}

}  // namespace tw::test
