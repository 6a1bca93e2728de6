#pragma once

#include <cstdint>
#include <string>

namespace tw {

// What one port's run looks like to whoever watches it: text for a person, or JSON lines for a script.
class ProgressView {
 public:
  virtual ~ProgressView() = default;

  virtual void Update(int percent, std::uint64_t done, std::uint64_t total) = 0;
  virtual void Caption(const std::string& caption) = 0;
  // The caption, when it is text, goes unshown: text is about to be shown anyway.
  virtual void Withdraw(const std::string& text) = 0;
  virtual void Status(const std::string& text) = 0;
  // A message box's text, just before it goes to stdout.
  virtual void Message(const std::string& text) = 0;
  virtual void Finish() = 0;
  [[nodiscard]] virtual bool OnTerminal() const = 0;
  // The device the port stands for, once it is known; a row of its own shows it.
  virtual void NameDevice(const std::string& device) = 0;
};

}  // namespace tw
