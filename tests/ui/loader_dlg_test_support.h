#pragma once
// The dialog on a fast simulated box (no pacing) or on a missing port, the test playing the operator.

#include <QEventLoop>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "boxsim/embedded_box.h"
#include "controls/flat_combo_box.h"
#include "ui/dialog_host.h"
#include "ui/loader_dlg.h"
#include "ui/prompter.h"

namespace tw::test {

inline constexpr const char* kMissingPort = "/nonexistent/tarnwick-test-port";

// Answers file pickers from a queue and notes every message box.
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

inline bool ShowActive(QWidget& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

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

inline void WriteFile(const QString& path, std::string_view bytes) {
  std::ofstream(path.toStdString(), std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct DialogBench {
  // COM 1 is a fast simulated box (no pacing).
  explicit DialogBench(bool engineering = false, const BoxFaults& faults = {},
                       std::optional<std::filesystem::path> converterDirectory = std::nullopt)
      : DialogBench(engineering, std::make_unique<EmbeddedBox>(FastBox(faults)), {}, std::move(converterDirectory)) {}

  // COM 1 is a device that does not exist; COM 2 is `com2` when given.
  DialogBench(bool engineering, const std::string& com2) : DialogBench(engineering, nullptr, com2, std::nullopt) {}

  DialogBench(bool engineering, std::unique_ptr<EmbeddedBox> box, const std::string& com2,
              std::optional<std::filesystem::path> converterDirectory)
      : simulator(std::move(box)) {
    LoaderDlgOptions options;
    options.engineering = engineering;
    options.deviceOverrides[1] = simulator ? simulator->DevicePath() : kMissingPort;
    if (!com2.empty()) {
      options.deviceOverrides[2] = com2;
    }
    auto scripted = std::make_unique<ScriptedPrompter>();
    prompter = scripted.get();
    options.prompter = std::move(scripted);
    options.converterDirectory = std::move(converterDirectory);
    dialog = std::make_unique<CLoaderDlg>(std::move(options));
  }

  static BoxOptions FastBox(const BoxFaults& faults) {
    BoxOptions box;
    box.paced = false;
    box.settle = std::chrono::milliseconds(100);  // the PC reopens its port after the speed confirmation
    box.faults = faults;
    return box;
  }

  [[nodiscard]] bool WaitFor(const char* message) const {
    return WaitForMessage(dialog->Host(), *prompter, QString::fromLatin1(message));
  }

  std::unique_ptr<EmbeddedBox> simulator;
  ScriptedPrompter* prompter = nullptr;
  std::unique_ptr<CLoaderDlg> dialog;
};

}  // namespace tw::test
