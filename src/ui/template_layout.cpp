#include "ui/template_layout.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <algorithm>

#include "ui/control_factory.h"

namespace tw {

namespace {

// Where the engineering panel's regions begin, in dialog units.
constexpr int kPanelTop = 100;
constexpr int kRightColumnX = 145;
constexpr int kBelowViewerY = 206;
constexpr int kListRowY = 210;
constexpr int kEditCursorRoom = 2 * 2 + 1;  // the line edit's own side margins and its cursor

// How a control follows an enlarged window, in halves of the extra width and height.
struct Stretch {
  int moveX = 0;
  int moveY = 0;
  int growWidth = 0;
  int growHeight = 0;
};

// The viewer takes all the extra room, the tree and the list share the extra height; whatever sits
// right of or below them moves along. The upper area stays as it is.
Stretch StretchOf(const DialogItem& item) {
  if (item.id == idc::kHexViewer) {
    return {0, 0, 2, 2};
  }
  if (item.id == idc::kDivider) {
    return {0, 0, 2, 0};
  }
  if (item.rect.y < kPanelTop) {
    return {};
  }
  if (item.rect.x >= kRightColumnX) {
    const bool grows = item.id == idc::kFileTree || item.id == idc::kFileList;
    return {2, item.rect.y >= kListRowY ? 1 : 0, 0, grows ? 1 : 0};
  }
  return item.rect.y >= kBelowViewerY ? Stretch{0, 2, 0, 0} : Stretch{};
}

// The longest item in the edit field, with the frame and the drop-down button as the style draws them.
int ComboWidthFor(QComboBox& combo) {
  QStyleOptionComboBox option;
  option.initFrom(&combo);
  option.editable = combo.isEditable();
  option.frame = combo.hasFrame();
  const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
  int text = 0;
  for (int i = 0; i < combo.count(); ++i) {
    text = std::max(text, combo.fontMetrics().horizontalAdvance(combo.itemText(i)));
  }
  return text + kEditCursorRoom + combo.width() - field.width();
}

int LineEditWidthFor(QLineEdit& edit, const QString& text) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  const QSize inner(edit.fontMetrics().horizontalAdvance(text) + kEditCursorRoom, edit.fontMetrics().height());
  return edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, inner, &edit).width();
}

}  // namespace

TemplateLayout::TemplateLayout(std::span<const DialogItem> items, std::vector<QWidget*> controls, const QFont& font)
    : m_items(items), m_controls(std::move(controls)), m_units(font) {}

int TemplateLayout::NeededWidth(const DialogItem& item, QWidget* control,
                                const std::map<int, QStringList>& editTexts) const {
  if (auto* combo = qobject_cast<QComboBox*>(control)) {
    return ComboWidthFor(*combo);
  }
  const auto texts = editTexts.find(item.id);
  auto* edit = qobject_cast<QLineEdit*>(control);
  int width = 0;
  if (edit != nullptr && texts != editTexts.end()) {
    for (const QString& text : texts->second) {
      width = std::max(width, LineEditWidthFor(*edit, text));
    }
  }
  return width;
}

void TemplateLayout::FitTexts(const std::map<int, QStringList>& editTexts) {
  QSize base = m_units.BaseUnits();
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const int needed = NeededWidth(m_items[i], m_controls[i], editTexts);
    const int width = m_items[i].rect.width;
    if (needed > 0 && width > 0) {
      // The smallest base width whose rounding gives the field at least the pixels it needs.
      base.setWidth(std::max(base.width(), (needed * DialogUnits::kUnitsPerBaseX + width - 1) / width));
    }
  }
  m_units = DialogUnits(base);
}

void TemplateLayout::Place(QSize extra) {
  extra = extra.expandedTo(QSize(0, 0));
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const Stretch s = StretchOf(m_items[i]);
    QRect rect = m_units.ToPixels(m_items[i].rect);
    rect.translate(s.moveX * extra.width() / 2, s.moveY * extra.height() / 2);
    rect.setSize(rect.size() + QSize(s.growWidth * extra.width() / 2, s.growHeight * extra.height() / 2));
    PlaceDialogControl(m_items[i], m_controls[i], rect);
  }
  // A label's text sits level with its field's: both centred on the same line.
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (QWidget* field = FieldOf(i)) {
      QWidget* label = m_controls[i];
      label->move(label->x(), field->geometry().center().y() - label->height() / 2);
    }
  }
}

QWidget* TemplateLayout::FieldOf(std::size_t labelIndex) const {
  const DialogItem& label = m_items[labelIndex];
  if (label.kind != ItemClass::Static || labelIndex + 1 >= m_items.size()) {
    return nullptr;
  }
  const DluRect& field = m_items[labelIndex + 1].rect;
  const bool sameRow = label.rect.y >= field.y && label.rect.y < field.y + field.height;
  return sameRow ? m_controls[labelIndex + 1] : nullptr;
}

void TemplateLayout::TieLabelsToFields() const {
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(m_controls[i]);
    QWidget* field = FieldOf(i);
    if (label != nullptr && field != nullptr) {
      label->setBuddy(field);
    }
  }
}

}  // namespace tw
