#pragma once

#include <QString>
#include <QStringList>

namespace tw {

// Completion of the text typed into an editable combo box from its list: the first item that begins with
// the text (ignoring case) is chosen and the part beyond what was typed is left selected, so typing on
// replaces it.
class ComboCompletion {
 public:
  struct Selection {
    int start = 0;
    int end = 0;
  };
  struct Result {
    int item = -1;  // the matching item, or -1 when the typed text stays
    QString text;
    Selection selection;
  };

  // typed: the edit's text after the change; selection: the edit's selection then (end = caret).
  [[nodiscard]] static Result Complete(const QStringList& items, const QString& typed, Selection selection);
};

}  // namespace tw
