#pragma once

#include "controls/skin_button.h"

namespace tw {

// Owner-drawn check box with a tick; a release inside toggles it and notifies.
class CSkinCheckBox : public CSkinButton {
  Q_OBJECT

 public:
  explicit CSkinCheckBox(const QString& text = QString(), QWidget* parent = nullptr);

 protected:
  void Activate() override;
  void DrawBox(SkinCanvas& canvas, const QRect& area) const override;

 private:
  void DrawTick(SkinCanvas& canvas, QPoint inner) const;
};

}  // namespace tw
