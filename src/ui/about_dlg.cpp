#include "ui/about_dlg.h"

#include <QPushButton>

#include "ui/app_icon.h"
#include "ui/control_factory.h"
#include "ui/dialog_units.h"

namespace tw {

namespace {

constexpr int kAboutFontPoints = 8;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromLatin1(kAboutCaption.data(), static_cast<qsizetype>(kAboutCaption.size())));
  setWindowIcon(ApplicationIcon());
  setFont(DialogUnits::TemplateFont("MS Sans Serif", kAboutFontPoints));
  const DialogUnits units(font());
  setFixedSize(units.SizeToPixels(kAboutDialogSize));
  for (const DialogItem& item : kAboutDialogItems) {
    CreateDialogControl(item, this, units);
  }
  auto* ok = findChild<QPushButton*>(QString::number(idc::kOk));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace tw
