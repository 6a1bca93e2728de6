#include "controls/progress_accessible.h"

#include "controls/percent_progress_ctrl.h"

namespace tw {

namespace {

constexpr int kUpper = 100;

}  // namespace

ProgressAccessible::ProgressAccessible(CPercentProgressCtrl* progress)
    : QAccessibleWidget(progress, QAccessible::ProgressBar) {}

CPercentProgressCtrl* ProgressAccessible::Progress() const { return static_cast<CPercentProgressCtrl*>(widget()); }

QString ProgressAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) {
    return Progress()->DisplayedText();
  }
  return QAccessibleWidget::text(t);
}

void* ProgressAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::ValueInterface) {
    return static_cast<QAccessibleValueInterface*>(this);
  }
  return QAccessibleWidget::interface_cast(t);
}

QVariant ProgressAccessible::currentValue() const { return Progress()->GetPos(); }

QVariant ProgressAccessible::maximumValue() const { return kUpper; }

QVariant ProgressAccessible::minimumValue() const { return 0; }

QVariant ProgressAccessible::minimumStepSize() const { return 1; }

}  // namespace tw
