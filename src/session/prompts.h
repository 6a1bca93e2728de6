#pragma once

#include <optional>
#include <string>

namespace tw {

// What asks the operator and waits for the answer.
class Prompts {
 public:
  virtual ~Prompts() = default;

  // A modal message box with an OK button; returns when the operator closed it.
  virtual void MessageBox(const std::string& text) = 0;
  // File pickers; nothing when cancelled. The filter is "Text|*.a;*.b|Text|*.c||".
  virtual std::optional<std::string> AskOpenFile(const std::string& filter) = 0;
  virtual std::optional<std::string> AskSaveFile(const std::string& filter) = 0;
};

}  // namespace tw
