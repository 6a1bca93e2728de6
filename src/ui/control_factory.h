#pragma once

#include "ui/dialog_layout.h"

#include <QRect>

class QWidget;

namespace tw {

class DialogUnits;

// Creates the control of one template entry as a child of `parent`, at its rectangle, named by its
// identifier (objectName "1009" and so on; statics have no name).
QWidget* CreateDialogControl(const DialogItem& item, QWidget* parent, const DialogUnits& units);
// Puts the control of a template entry at `rect` (pixels): a combo box keeps its closed height, a label
// grows rightwards to its text, an icon keeps its own size.
void PlaceDialogControl(const DialogItem& item, QWidget* control, QRect rect);

}  // namespace tw
