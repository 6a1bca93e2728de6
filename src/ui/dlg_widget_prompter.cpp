#include "ui/dlg_widget_prompter.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tw {

namespace {

std::optional<QString> Chosen(const QString& path) {
  return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
}

}  // namespace

void DlgWidgetPrompter::MessageBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Caption(), text, QMessageBox::Ok, parent);
  box.exec();
}

bool DlgWidgetPrompter::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Caption(), text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);  // Enter keeps the transfer going
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> DlgWidgetPrompter::AskOpenFile(QWidget* parent, const QString& filter) {
  return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString(), filter));
}

std::optional<QString> DlgWidgetPrompter::AskSaveFile(QWidget* parent, const QString& filter) {
  // The dialog itself asks before an existing file is replaced.
  return Chosen(QFileDialog::getSaveFileName(parent, QString(), QString(), filter));
}

QString DlgWidgetPrompter::Caption() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

}  // namespace tw
