#include "controls/combo_completion.h"

namespace tw {

ComboCompletion::Result ComboCompletion::Complete(const QStringList& items, const QString& typed, Selection selection) {
  Result result;
  result.text = typed;
  // An empty text would match every item; it stays empty.
  if (!typed.isEmpty()) {
    for (int i = 0; i < items.size(); ++i) {
      if (items[i].startsWith(typed, Qt::CaseInsensitive)) {
        result.item = i;
        result.text = items[i];
        break;
      }
    }
  }
  const int typedLength = static_cast<int>(typed.size());
  const bool valid = selection.start >= 0 && selection.start <= selection.end;
  if (valid && selection.end < typedLength) {
    // The caret is inside the text (an edit in the middle): keep the selection as it was.
    result.selection = selection;
  } else {
    result.selection = {typedLength, static_cast<int>(result.text.size())};
  }
  return result;
}

}  // namespace tw
