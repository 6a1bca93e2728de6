#pragma once
// A fast simulated box (no pacing) as COM 1 and the dialog on it, the test playing the operator.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "boxsim/embedded_box.h"
#include "loader_dlg_test_support.h"
#include "ui/loader_dlg.h"

namespace tw::test {

// The PC reopens its port after the speed confirmation; a reply sent before that would be purged.
inline constexpr std::chrono::milliseconds kBoxSettle{100};

struct BoxBench {
  explicit BoxBench(bool engineering = false, BoxFaults faults = {},
                    std::optional<std::filesystem::path> converterDirectory = std::nullopt) {
    BoxOptions box;
    box.paced = false;
    box.settle = kBoxSettle;
    box.faults = faults;
    simulator = std::make_unique<EmbeddedBox>(box);
    auto scripted = std::make_unique<ScriptedPrompter>();
    prompter = scripted.get();
    LoaderDlgOptions options;
    options.engineering = engineering;
    options.deviceOverrides[1] = simulator->DevicePath();
    options.prompter = std::move(scripted);
    options.converterDirectory = std::move(converterDirectory);
    dialog = std::make_unique<CLoaderDlg>(std::move(options));
  }

  [[nodiscard]] bool WaitFor(const char* message) const {
    return WaitForMessage(dialog->Host(), *prompter, QString::fromLatin1(message));
  }

  std::unique_ptr<EmbeddedBox> simulator;
  ScriptedPrompter* prompter = nullptr;
  std::unique_ptr<CLoaderDlg> dialog;
};

}  // namespace tw::test
