#pragma once

#include <QDialog>

namespace tw {

// The about box (resource 100): the application icon, "Tarnwick Version 1.0" and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace tw
