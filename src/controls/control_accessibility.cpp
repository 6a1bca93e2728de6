#include "controls/control_accessibility.h"

#include <QAccessible>

#include <mutex>

#include "controls/hex_viewer.h"
#include "controls/hex_viewer_accessible.h"
#include "controls/percent_progress_ctrl.h"
#include "controls/progress_accessible.h"
#include "controls/skin_button.h"
#include "controls/skin_button_accessible.h"

namespace tw {

namespace {

QAccessibleInterface* Create(const QString&, QObject* object) {
  if (auto* button = qobject_cast<CSkinButton*>(object)) {
    return new SkinButtonAccessible(button);
  }
  if (auto* progress = qobject_cast<CPercentProgressCtrl*>(object)) {
    return new ProgressAccessible(progress);
  }
  if (auto* viewer = qobject_cast<CHexViewer*>(object)) {
    return new HexViewerAccessible(viewer);
  }
  return nullptr;
}

}  // namespace

void ControlAccessibility::Install() {
  static std::once_flag installed;
  std::call_once(installed, [] { QAccessible::installFactory(Create); });
}

}  // namespace tw
