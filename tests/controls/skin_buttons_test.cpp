#include <QImage>
#include <QSignalSpy>
#include <QtTest>

#include "controls/skin_check_box.h"
#include "controls/skin_radio_button.h"
#include "pixel_test_support.h"

using tw::CSkinButton;
using tw::CSkinCheckBox;
using tw::CSkinRadioButton;
using tw::SkinColors;

namespace {

const QColor kFace(192, 192, 192);
const QColor kPressedFace(152, 152, 152);
const QColor kMix(160, 160, 160);
const QColor kShadow(128, 128, 128);
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
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
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y) == colour) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace

class SkinButtonsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseClassicPalette(); }

  void colourSetHalvesAndDarkensPerChannel() {
    CSkinCheckBox box(QStringLiteral("Address"));
    QCOMPARE(box.Colors().deepMix, QColor(64, 64, 64));
    // 193 + (128 - 193) >> 1 = 193 - 33; a division would give 161.
    QCOMPARE(SkinColors::HalfWay(QColor(193, 10, 0), QColor(128, 15, 1)), QColor(160, 12, 0));

    // Darkening stops at zero and leaves the shadows beyond the face.
    const SkinColors colours = SkinColors::From(kWhite, QColor(30, 200, 50), kFace, kShadow, kBlack, kBlack);
    const SkinColors dark = colours.Darkened(40);
    QCOMPARE(dark.face, kPressedFace);
    QCOMPARE(dark.light, QColor(0, 160, 10));
    QCOMPARE(dark.deepMix, colours.deepMix);
    QCOMPARE(dark.darkShadow, colours.darkShadow);
  }

  void releaseOutsideNeitherTogglesNorNotifies() {
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
    QVERIFY(!box.IsPressed());

    QTest::mouseClick(&box, Qt::LeftButton, {}, kInside);
    QCOMPARE(box.GetCheck(), 1);
    QCOMPARE(clicks.count(), 1);
  }

  void doubleClickCountsAsSecondClick() {
    CSkinCheckBox box(QStringLiteral("ASCII"));
    box.resize(80, 16);
    QSignalSpy clicks(&box, &CSkinButton::clicked);
    DoubleClick(box, kInside);
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(box.GetCheck(), 0);
  }

  void spaceBarPressesAndClicks() {
    CSkinCheckBox box(QStringLiteral("Address"));
    box.resize(80, 16);
    QSignalSpy clicks(&box, &CSkinButton::clicked);
    QTest::keyPress(&box, Qt::Key_Space);
    QVERIFY(box.IsPressed());
    QCOMPARE(clicks.count(), 0);
    QTest::keyRelease(&box, Qt::Key_Space);
    QVERIFY(!box.IsPressed());
    QCOMPARE(box.GetCheck(), 1);
    QCOMPARE(clicks.count(), 1);
  }

  void radioGroupKeepsOneChecked() {
    QWidget dialog;
    auto* download = new CSkinRadioButton(QStringLiteral("Download"), &dialog);
    auto* upload = new CSkinRadioButton(QStringLiteral("Upload"), &dialog);
    auto* other = new CSkinRadioButton(QStringLiteral("Other"), &dialog);
    for (auto* radio : {download, upload, other}) {
      radio->resize(80, 16);
    }
    QSignalSpy uploadClicks(upload, &CSkinButton::clicked);

    // Setting a check programmatically leaves the others alone.
    download->SetCheck(1);
    other->SetCheck(1);
    QCOMPARE(download->SetCheck(1), 1);

    QTest::mouseClick(upload, Qt::LeftButton, {}, kInside);
    QCOMPARE(upload->GetCheck(), 1);
    QCOMPARE(download->GetCheck(), 0);
    QCOMPARE(other->GetCheck(), 0);
    QCOMPARE(uploadClicks.count(), 1);

    // Clicking the checked one keeps it checked and still notifies.
    QTest::mouseClick(upload, Qt::LeftButton, {}, kInside);
    QCOMPARE(upload->GetCheck(), 1);
    QCOMPARE(uploadClicks.count(), 2);
  }

  void arrowKeysMoveTheCheckWithinTheGroup() {
    QWidget dialog;
    auto* download = new CSkinRadioButton(QStringLiteral("Download"), &dialog);
    auto* upload = new CSkinRadioButton(QStringLiteral("Upload"), &dialog);
    download->SetCheck(1);
    QSignalSpy uploadClicks(upload, &CSkinButton::clicked);

    QTest::keyClick(download, Qt::Key_Right);
    QCOMPARE(download->GetCheck(), 0);
    QCOMPARE(upload->GetCheck(), 1);
    QCOMPARE(uploadClicks.count(), 1);

    // Past the group's end the check stays.
    QTest::keyClick(upload, Qt::Key_Down);
    QCOMPARE(upload->GetCheck(), 1);
    QTest::keyClick(upload, Qt::Key_Up);
    QCOMPARE(download->GetCheck(), 1);
    QCOMPARE(upload->GetCheck(), 0);
  }

  void focusOnAnUncheckedRadioMovesToTheCheckedOne() {
    QWidget dialog;
    auto* download = new CSkinRadioButton(QStringLiteral("Download"), &dialog);
    auto* upload = new CSkinRadioButton(QStringLiteral("Upload"), &dialog);
    upload->SetCheck(1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    download->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), upload);

    // A click focuses the clicked one, as it is pressed by then.
    QTest::mousePress(download, Qt::LeftButton, {}, kInside);
    QCOMPARE(QApplication::focusWidget(), download);
    QTest::mouseRelease(download, Qt::LeftButton, {}, kInside);
    QCOMPARE(download->GetCheck(), 1);
  }

  void pressedRadioDrawsDarkenedAndRestores() {
    CSkinRadioButton radio(QStringLiteral("Upload"));
    radio.resize(80, 16);
    const QPoint box = radio.BoxArea().topLeft();

    QTest::mousePress(&radio, Qt::LeftButton, {}, kInside);
    QImage image = Render(radio);
    // The face pixel of the sunken shading, (2, 2) reflected to (9, 9).
    QCOMPARE(image.pixelColor(box + QPoint(9, 9)), kPressedFace);
    QCOMPARE(image.pixelColor(0, 0), kFace);  // the background is not darkened
    QCOMPARE(radio.Colors().face, kFace);

    QTest::mouseRelease(&radio, Qt::LeftButton, {}, kOutside);
    image = Render(radio);
    QCOMPARE(image.pixelColor(box + QPoint(2, 2)), kFace);
  }

  // Checked boxes show a black tick and dot; disabled, the box is flat and the tick and text grey.
  void checkedBoxesShowTickAndDotGreyWhenDisabled() {
    CSkinCheckBox check(QStringLiteral("Address"));
    check.resize(80, 16);
    check.SetCheck(1);
    const QRect box = check.BoxArea();
    QVERIFY(AnyPixel(Render(check), box.adjusted(2, 2, -2, -2), kBlack));

    CSkinRadioButton radio(QStringLiteral("Download"));
    radio.resize(80, 16);
    radio.SetCheck(1);
    QCOMPARE(Render(radio).pixelColor(radio.BoxArea().center()), kBlack);

    check.setEnabled(false);
    const QImage image = Render(check);
    QCOMPARE(image.pixelColor(box.topLeft() + QPoint(2, 1)), kFace);  // no raised edge
    QVERIFY(AnyPixel(image, box.adjusted(2, 2, -2, -2), kMix));
    QVERIFY(!AnyPixel(image, image.rect(), kBlack));
    QVERIFY(AnyPixel(image, QRect(box.right() + 1, 0, 60, 16), kShadow));  // the text
  }
};

QTEST_MAIN(SkinButtonsTest)
#include "skin_buttons_test.moc"
