#pragma once

#include <QSize>
#include <QStringList>

#include <map>
#include <span>
#include <vector>

#include "ui/dialog_layout.h"
#include "ui/dialog_units.h"

class QFont;
class QWidget;

namespace tw {

// The main dialog's template laid out on its controls: dialog units from the font in use, widened where
// a substitute font's text would not fit its field, each label lined up with (and tied to) the field it
// names, and the extra room of an enlarged window given to the hex viewer, the tree and the list.
class TemplateLayout {
 public:
  // `controls` holds the control of every template item, in template order.
  TemplateLayout(std::span<const DialogItem> items, std::vector<QWidget*> controls, const QFont& font);

  // Widens the units until each combo box shows its longest item and each edit every text given.
  void FitTexts(const std::map<int, QStringList>& editTexts);
  // Places every control for a window `extra` pixels larger than the template's size.
  void Place(QSize extra);
  void TieLabelsToFields() const;

  [[nodiscard]] const DialogUnits& Units() const { return m_units; }
  [[nodiscard]] QSize TemplateSize(const DluRect& size) const { return m_units.SizeToPixels(size); }

 private:
  [[nodiscard]] int NeededWidth(const DialogItem& item, QWidget* control,
                                const std::map<int, QStringList>& editTexts) const;
  // The field a label names: the next item, when the label sits within that item's rows.
  [[nodiscard]] QWidget* FieldOf(std::size_t labelIndex) const;

  std::span<const DialogItem> m_items;
  std::vector<QWidget*> m_controls;
  DialogUnits m_units;
};

}  // namespace tw
