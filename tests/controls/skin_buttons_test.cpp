#include <QImage>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <span>

#include "controls/skin_check_box.h"
#include "controls/skin_radio_button.h"
#include "pixel_test_support.h"

using tw::CSkinButton;
using tw::CSkinCheckBox;
using tw::CSkinRadioButton;
using tw::SkinColors;

namespace {

const QColor kPressedFace(152, 152, 152);
const QColor kMix(160, 160, 160);
const QPoint kInside(5, 8);
const QPoint kOutside(300, 8);

// The Windows-style sequence of a double click: the second press arrives as a double-click event.
void DoubleClick(QWidget& widget, QPoint at) {
  QTest::mousePress(&widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, at);
  QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, widget.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
  QApplication::sendEvent(&widget, &doubleClick);
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, at);
}

void MoveWithButtonHeld(QWidget& widget, QPoint to) {
  QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

bool AnyPixel(const QImage& image, const QRect& area, const QColor& colour) {
  const QImage part = image.copy(area);
  const std::span pixels(reinterpret_cast<const QRgb*>(part.constBits()), part.sizeInBytes() / sizeof(QRgb));
  return std::ranges::find(pixels, colour.rgb()) != pixels.end();
}

}  // namespace

class SkinButtonsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseClassicPalette(); }

  void mouseAndSpaceBarClickOnlyWhenReleasedInside() {
    CSkinCheckBox box(QStringLiteral("HEX Code"));
    box.resize(80, 16);
    QSignalSpy clicks(&box, &CSkinButton::clicked);
    QTest::mousePress(&box, Qt::LeftButton, {}, kInside);
    QVERIFY(box.IsPressed());
    MoveWithButtonHeld(box, kOutside);
    QVERIFY(!box.IsPressed());
    MoveWithButtonHeld(box, kInside);
    QVERIFY(box.IsPressed());
    MoveWithButtonHeld(box, kOutside);
    QTest::mouseRelease(&box, Qt::LeftButton, {}, kOutside);
    QCOMPARE(box.GetCheck(), 0);
    QCOMPARE(clicks.count(), 0);

    DoubleClick(box, kInside);  // the second press counts as a click
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box.GetCheck(), 0);

    QTest::keyPress(&box, Qt::Key_Space);
    QVERIFY(box.IsPressed());
    QCOMPARE(clicks.count(), 2);
    QTest::keyRelease(&box, Qt::Key_Space);
    QCOMPARE(box.GetCheck(), 1);
    QCOMPARE(clicks.count(), 3);
  }

  void radioGroupKeepsOneCheckedAndTheFocusOnIt() {
    QWidget dialog;
    auto* download = new CSkinRadioButton(QStringLiteral("Download"), &dialog);
    auto* upload = new CSkinRadioButton(QStringLiteral("Upload"), &dialog);
    auto* other = new CSkinRadioButton(QStringLiteral("Other"), &dialog);
    for (auto* radio : {download, upload, other}) {
      radio->resize(80, 16);
    }
    QSignalSpy uploadClicks(upload, &CSkinButton::clicked);
    download->SetCheck(1);
    other->SetCheck(1);  // programmatically the others are left alone
    QTest::mouseClick(upload, Qt::LeftButton, {}, kInside);
    QTest::mouseClick(upload, Qt::LeftButton, {}, kInside);  // the checked one stays checked, still notifies
    QCOMPARE(upload->GetCheck(), 1);
    QCOMPARE(download->GetCheck() + other->GetCheck(), 0);
    QCOMPARE(uploadClicks.count(), 2);

    QTest::keyClick(upload, Qt::Key_Up);
    QCOMPARE(download->GetCheck(), 1);
    QCOMPARE(upload->GetCheck(), 0);
    QTest::keyClick(download, Qt::Key_Right);
    QCOMPARE(upload->GetCheck(), 1);
    QCOMPARE(uploadClicks.count(), 3);
    QTest::keyClick(upload, Qt::Key_Down);
    QTest::keyClick(other, Qt::Key_Down);  // past the group's end the check stays
    QCOMPARE(other->GetCheck(), 1);
    QCOMPARE(upload->GetCheck(), 0);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    download->setFocus(Qt::TabFocusReason);  // focus on an unchecked one moves to the checked one
    QCOMPARE(QApplication::focusWidget(), other);
    QTest::mousePress(download, Qt::LeftButton, {}, kInside);  // a click focuses it, pressed by then
    QCOMPARE(QApplication::focusWidget(), download);
    QTest::mouseRelease(download, Qt::LeftButton, {}, kInside);
    QCOMPARE(download->GetCheck(), 1);
  }

  // Checked boxes show a black tick and dot, pressed a darker face; disabled, flat with a grey tick and text.
  void checkedPressedAndDisabledLooks() {
    CSkinCheckBox check(QStringLiteral("Address"));
    check.resize(80, 16);
    check.SetCheck(1);
    const QRect box = check.BoxArea();
    QVERIFY(AnyPixel(Render(check), box.adjusted(2, 2, -2, -2), kBlack));

    CSkinRadioButton radio(QStringLiteral("Download"));
    radio.resize(80, 16);
    radio.SetCheck(1);
    const QPoint corner = radio.BoxArea().topLeft();
    QCOMPARE(Render(radio).pixelColor(radio.BoxArea().center()), kBlack);
    radio.SetCheck(0);
    QTest::mousePress(&radio, Qt::LeftButton, {}, kInside);
    QCOMPARE(Render(radio).pixelColor(corner + QPoint(9, 9)), kPressedFace);  // sunken: (2, 2) reflected
    QCOMPARE(Render(radio).pixelColor(0, 0), kFace);                          // the background is not darkened
    QTest::mouseRelease(&radio, Qt::LeftButton, {}, kOutside);
    QCOMPARE(Render(radio).pixelColor(corner + QPoint(2, 2)), kFace);

    check.setEnabled(false);
    const QImage image = Render(check);
    QCOMPARE(image.pixelColor(box.topLeft() + QPoint(2, 1)), kFace);  // no raised edge
    QVERIFY(AnyPixel(image, box.adjusted(2, 2, -2, -2), kMix));
    QVERIFY(!AnyPixel(image, image.rect(), kBlack));
    QVERIFY(AnyPixel(image, QRect(box.right() + 1, 0, 60, 16), kShadow));  // the text
    // The colours behind them halve and darken per channel.
    // 193 + (128 - 193) >> 1 = 193 - 33; a division would give 161.
    QCOMPARE(SkinColors::HalfWay(QColor(193, 10, 0), QColor(128, 15, 1)), QColor(160, 12, 0));
    const SkinColors colours = SkinColors::From(kWhite, QColor(30, 200, 50), kFace, kShadow, kBlack, kBlack);
    QCOMPARE(colours.Darkened(40).light, QColor(0, 160, 10));  // stops at zero
  }
};

QTEST_MAIN(SkinButtonsTest)
#include "skin_buttons_test.moc"
