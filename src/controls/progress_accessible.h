#pragma once

#include <QAccessibleWidget>

namespace tw {

class CPercentProgressCtrl;

// The percent progress bar: a progress bar whose value is the position and whose text is what it shows.
class ProgressAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit ProgressAccessible(CPercentProgressCtrl* progress);

  [[nodiscard]] QString text(QAccessible::Text t) const override;
  [[nodiscard]] void* interface_cast(QAccessible::InterfaceType t) override;

  [[nodiscard]] QVariant currentValue() const override;
  void setCurrentValue(const QVariant&) override {}  // the transfer sets it, not the reader
  [[nodiscard]] QVariant maximumValue() const override;
  [[nodiscard]] QVariant minimumValue() const override;
  [[nodiscard]] QVariant minimumStepSize() const override;

 private:
  [[nodiscard]] CPercentProgressCtrl* Progress() const;
};

}  // namespace tw
