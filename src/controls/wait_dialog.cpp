#include "controls/wait_dialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>

namespace tw {

namespace {

const char* const kShownCaption = "Message";
const char* const kTemplateCaption = "Converting Photo Image";
const char* const kTemplateText = "Wait For Converting Photo to STB Photo";

// Template geometry in dialog units.
constexpr QSize kClientDlu(187, 48);
constexpr QRect kTextDlu(29, 18, 126, 8);
constexpr int kDluPerBaseX = 4;
constexpr int kDluPerBaseY = 8;

QRect DluToPixels(const QRect& dlu, QSize base) {
  const auto x = [base](int v) { return v * base.width() / kDluPerBaseX; };
  const auto y = [base](int v) { return v * base.height() / kDluPerBaseY; };
  return QRect(x(dlu.x()), y(dlu.y()), x(dlu.width()), y(dlu.height()));
}

}  // namespace

CWaitDialog::CWaitDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_text(new QLabel(QString::fromLatin1(kTemplateText), this)),
      m_baseUnits(FontBaseUnits(font())) {
  setModal(false);
  setWindowTitle(QString::fromLatin1(kTemplateCaption));
  m_text->setObjectName(QString::number(kTextControlId));
  m_text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  LayOut();
}

QSize CWaitDialog::FontBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  return QSize(metrics.averageCharWidth(), metrics.height());
}

void CWaitDialog::ApplyBaseUnits(QSize baseUnits) {
  m_baseUnits = baseUnits;
  LayOut();
}

void CWaitDialog::LayOut() {
  const QRect client = DluToPixels(QRect(QPoint(0, 0), kClientDlu), m_baseUnits);
  setFixedSize(client.size());
  // Fonts here are wider than the one the template was made for: a longer line may widen the text
  // about its centre, up to the window's width, rather than be cut.
  QRect text = DluToPixels(kTextDlu, m_baseUnits);
  const int wanted = std::min(m_text->fontMetrics().horizontalAdvance(m_text->text()), client.width());
  if (wanted > text.width()) {
    const QPoint centre = text.center();
    text.setWidth(wanted);
    text.moveCenter(centre);
    text.moveLeft(std::clamp(text.left(), 0, client.width() - text.width()));
  }
  text.setHeight(std::max(text.height(), m_text->fontMetrics().height()));
  m_text->setGeometry(text);
}

void CWaitDialog::ShowCentredOn(QWidget* mainDialog, const QString& text) {
  m_text->setText(text);
  setWindowTitle(QString::fromLatin1(kShownCaption));
  LayOut();
  // Shown first: the window's frame, which the centring counts, is known only once it is shown.
  show();
  if (mainDialog != nullptr) {
    const QRect main = mainDialog->frameGeometry();
    const QRect own = frameGeometry();
    move(main.left() + (main.width() - own.width()) / 2, main.top() + (main.height() - own.height()) / 2);
  }
  raise();
}

void CWaitDialog::Hide() { hide(); }

QString CWaitDialog::Text() const { return m_text->text(); }

}  // namespace tw
