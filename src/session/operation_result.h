#pragma once

namespace tw {

// Told when an operation reached its success end, or ended in a failure that stops it: the console's
// exit status. The dialog's operator reads the result off the screen and takes NoOperationResult().
class OperationResult {
 public:
  virtual ~OperationResult() = default;

  virtual void OperationFinished(bool success) = 0;
};

[[nodiscard]] OperationResult& NoOperationResult();

}  // namespace tw
