#pragma once

#include <QAccessibleWidget>

namespace tw {

class CSkinButton;

// A skinned check box or radio button: its role, its text as name, its check state, and the press.
class SkinButtonAccessible : public QAccessibleWidget {
 public:
  explicit SkinButtonAccessible(CSkinButton* button);

  [[nodiscard]] QAccessible::State state() const override;
  [[nodiscard]] QString text(QAccessible::Text t) const override;
  [[nodiscard]] QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

 private:
  [[nodiscard]] CSkinButton* Button() const;
};

}  // namespace tw
