#include "ui/widget_prompter.h"

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

void WidgetPrompter::MessageBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Caption(), text, QMessageBox::Ok, parent);
  box.exec();
}

bool WidgetPrompter::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, Caption(), text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);  // Enter keeps the transfer going
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> WidgetPrompter::AskOpenFile(QWidget* parent, const QString& filter) {
  return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString(), filter));
}

std::optional<QString> WidgetPrompter::AskSaveFile(QWidget* parent, const QString& filter) {
  // The dialog itself asks before an existing file is replaced.
  return Chosen(QFileDialog::getSaveFileName(parent, QString(), QString(), filter));
}

QString WidgetPrompter::Caption() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

}  // namespace tw
