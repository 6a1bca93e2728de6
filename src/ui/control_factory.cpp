#include "ui/control_factory.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "controls/flat_combo_box.h"
#include "controls/flat_edit.h"
#include "controls/hex_viewer.h"
#include "controls/percent_progress_ctrl.h"
#include "controls/skin_check_box.h"
#include "controls/skin_radio_button.h"
#include "ui/app_icon.h"
#include "ui/dialog_units.h"
#include "ui/file_list_ctrl.h"
#include "ui/file_tree_ctrl.h"

namespace tw {

namespace {

QString Text(const DialogItem& item) {
  return QString::fromLatin1(item.text.data(), static_cast<qsizetype>(item.text.size()));
}

QWidget* CreateComboBox(QWidget* parent, const DialogUnits& units, const DialogItem& item) {
  auto* combo = new CFlatComboBox(parent);
  // The template's height is that of the dropped-down list; the closed box is one edit line high.
  const int lineHeight = combo->fontMetrics().height();
  combo->setMaxVisibleItems(std::max(1, (units.Y(item.rect.height) - combo->sizeHint().height()) / lineHeight));
  // Show a text too long for the box from its start, as the platform's combo box does.
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [combo] {
    if (combo->lineEdit() != nullptr) {
      combo->lineEdit()->setCursorPosition(0);
    }
  });
  return combo;
}

QPushButton* CreatePushButton(QWidget* parent, const DialogItem& item) {
  auto* button = new QPushButton(Text(item), parent);
  // Enter is the dialog's own (it ends the dialog unless a button has the focus).
  button->setAutoDefault(false);
  return button;
}

QWidget* CreateIcon(QWidget* parent) {
  auto* icon = new QLabel(parent);
  icon->setPixmap(ApplicationIcon().pixmap(kApplicationIconSize));
  icon->adjustSize();
  return icon;
}

QWidget* CreateWidget(const DialogItem& item, QWidget* parent) {
  switch (item.kind) {
    case ItemClass::GroupBox:
      return new QGroupBox(Text(item), parent);
    case ItemClass::Static:
      return new QLabel(Text(item), parent);
    case ItemClass::ComboBox:
      return nullptr;
    case ItemClass::PushButton:
      return CreatePushButton(parent, item);
    case ItemClass::ProgressBar: {
      auto* progress = new CPercentProgressCtrl(parent);
      progress->setFrameStyle(QFrame::Box | QFrame::Plain);
      return progress;
    }
    case ItemClass::HexViewer:
      return new CHexViewer(parent);
    case ItemClass::TreeView:
      return new CFileTreeCtrl(parent);
    case ItemClass::CheckBox:
      return new CSkinCheckBox(Text(item), parent);
    case ItemClass::RadioButton:
      return new CSkinRadioButton(Text(item), parent);
    case ItemClass::ListView:
      return new CFileListCtrl(parent);
    case ItemClass::Edit: {
      auto* edit = new CFlatEdit(parent);
      edit->setAlignment(Qt::AlignRight);
      return edit;
    }
    case ItemClass::Icon:
      return CreateIcon(parent);
  }
  return nullptr;
}

}  // namespace

QWidget* CreateDialogControl(const DialogItem& item, QWidget* parent, const DialogUnits& units) {
  QWidget* control =
      item.kind == ItemClass::ComboBox ? CreateComboBox(parent, units, item) : CreateWidget(item, parent);
  if (item.id != idc::kStatic) {
    control->setObjectName(QString::number(item.id));
  }
  PlaceDialogControl(item, control, units.ToPixels(item.rect));
  return control;
}

void PlaceDialogControl(const DialogItem& item, QWidget* control, QRect rect) {
  switch (item.kind) {
    case ItemClass::ComboBox:
      rect.setHeight(control->sizeHint().height());
      break;
    case ItemClass::Icon:
      rect.setSize(control->size());
      break;
    case ItemClass::Static:
      // A substitute font may be wider than the template's: a label grows rightwards rather than lose
      // its last letters.
      rect.setWidth(std::max(rect.width(), control->sizeHint().width()));
      break;
    default:
      break;
  }
  control->setGeometry(rect);
}

}  // namespace tw
