#pragma once

#include <cstddef>
#include <string>

namespace tw {

// One entry of the selected-files list as the batch sees it.
struct SelectedFileInfo {
  std::string path;
  std::string name;  // the entry's text: the file name without folder
  bool isPhoto = false;
};

enum class FileDoneWait { Done, Closing, Cancelled };

// The media batch's selected-files list and its file-done message.
class BatchList {
 public:
  virtual ~BatchList() = default;

  [[nodiscard]] virtual std::size_t SelectedCount() = 0;
  [[nodiscard]] virtual SelectedFileInfo FirstSelected() = 0;
  virtual void RemoveFirstSelected() = 0;

  // Posted by the engine, waited for by the batch while every other event is dispatched. Closing means
  // the owner is going away (or the run ended): the batch must return.
  virtual void PostFileDone() = 0;
  virtual FileDoneWait WaitForFileDone() = 0;
  virtual void CancelFileDoneWait() = 0;
};

}  // namespace tw
