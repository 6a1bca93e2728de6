#include "session/operation_result.h"

namespace tw {

namespace {

class IgnoredResult final : public OperationResult {
 public:
  void OperationFinished(bool) override {}
};

}  // namespace

OperationResult& NoOperationResult() {
  static IgnoredResult ignored;
  return ignored;
}

}  // namespace tw
