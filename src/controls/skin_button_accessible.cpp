#include "controls/skin_button_accessible.h"

#include "controls/skin_button.h"

namespace tw {

SkinButtonAccessible::SkinButtonAccessible(CSkinButton* button)
    : QAccessibleWidget(button, button->IsRadio() ? QAccessible::RadioButton : QAccessible::CheckBox) {}

CSkinButton* SkinButtonAccessible::Button() const { return static_cast<CSkinButton*>(widget()); }

QAccessible::State SkinButtonAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.checkable = true;
  s.checked = Button()->GetCheck() != 0;
  s.pressed = Button()->IsPressed();
  return s;
}

QString SkinButtonAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
    return QString(Button()->Text()).remove(QLatin1Char('&'));
  }
  return QAccessibleWidget::text(t);
}

QStringList SkinButtonAccessible::actionNames() const { return {pressAction(), toggleAction()}; }

void SkinButtonAccessible::doAction(const QString& actionName) {
  if (actionName == pressAction() || actionName == toggleAction()) {
    Button()->Click();
  }
}

}  // namespace tw
