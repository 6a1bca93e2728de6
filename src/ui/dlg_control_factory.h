#pragma once

#include "ui/dialog_layout.h"

class QWidget;

namespace tw {

class DialogUnits;

// Creates the control of one template entry as a child of `parent`, at its rectangle, named by its
// identifier (objectName "1009" and so on; statics have no name).
QWidget* CreateDialogControl(const DialogItem& item, QWidget* parent, const DialogUnits& units);

}  // namespace tw
