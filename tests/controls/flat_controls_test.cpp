#include <QClipboard>
#include <QCursor>
#include <QImage>
#include <QLineEdit>
#include <QtTest>

#include "controls/flat_combo_box.h"
#include "controls/flat_edit.h"
#include "pixel_test_support.h"

using tw::CFlatComboBox;
using tw::CFlatEdit;
using tw::FlatFrameState;

namespace {

void FillSpeeds(CFlatComboBox& combo) {
  combo.addItems({QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"), QStringLiteral("57600"),
                  QStringLiteral("115200")});
  combo.setCurrentIndex(-1);
  combo.lineEdit()->clear();
}

// Shows the combo box in its own active window and returns the widget that real key presses reach.
QWidget* ShowFocused(CFlatComboBox& combo) {
  combo.show();
  combo.activateWindow();
  combo.setFocus();
  if (!QTest::qWaitForWindowActive(&combo)) {
    return nullptr;
  }
  return QApplication::focusWidget();
}

}  // namespace

class FlatControlsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseClassicPalette(); }

  void typedTextCompletesFromTheListDeletedTextDoesNot() {
    CFlatComboBox combo;
    FillSpeeds(combo);
    QLineEdit* edit = combo.lineEdit();
    QWidget* focused = ShowFocused(combo);
    QCOMPARE(focused, &combo);  // not the line edit: that is where the keys go first

    QTest::keyClicks(focused, QStringLiteral("11"));
    QCOMPARE(edit->text(), QStringLiteral("115200"));
    QCOMPARE(edit->selectedText(), QStringLiteral("5200"));
    QCOMPARE(combo.currentIndex(), 4);

    QTest::keyClicks(focused, QStringLiteral("9"));
    QCOMPARE(edit->text(), QStringLiteral("119"));
    QVERIFY(!edit->hasSelectedText());
    QCOMPARE(edit->cursorPosition(), 3);

    // Deleting does not complete again.
    edit->clear();
    QTest::keyClicks(focused, QStringLiteral("38"));
    QCOMPARE(edit->text(), QStringLiteral("38400"));
    QTest::keyClick(focused, Qt::Key_Backspace);
    QTest::keyClick(focused, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("3"));
    QTest::keyClicks(focused, QStringLiteral("84"));
    QTest::keyClick(focused, Qt::Key_End);
    QTest::keyClick(focused, Qt::Key_Left);
    QTest::keyClick(focused, Qt::Key_Delete);
    QCOMPARE(edit->text(), QStringLiteral("3840"));
    QTest::keyClick(focused, Qt::Key_Home);
    QTest::keyClicks(focused, QStringLiteral("1"));  // typed inside the text: the caret stays where it was put
    QCOMPARE(edit->text(), QStringLiteral("13840"));
    QCOMPARE(edit->cursorPosition(), 1);

    // Typing again completes again, ignoring case.
    combo.addItem(QStringLiteral("GZIP_PROGRAM"));
    edit->clear();
    QTest::keyClicks(focused, QStringLiteral("gz"));
    QCOMPARE(edit->text(), QStringLiteral("GZIP_PROGRAM"));
    QCOMPARE(edit->selectedText(), QStringLiteral("IP_PROGRAM"));
  }

  void frameFollowsTheMouseAndShowsWhenDisabled() {
    CFlatComboBox combo;
    FillSpeeds(combo);
    combo.resize(120, 24);
    combo.show();
    QVERIFY(QTest::qWaitForWindowExposed(&combo));
    const int middle = combo.height() / 2;
    QCOMPARE(Render(combo).pixelColor(0, middle), kFace);

    QCursor::setPos(combo.mapToGlobal(QPoint(10, middle)));
    QMouseEvent move(QEvent::MouseMove, QPointF(10, middle), combo.mapToGlobal(QPointF(10, middle)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&combo, &move);
    QTRY_COMPARE(combo.FrameState(), FlatFrameState::Hover);
    const QImage hover = Render(combo);
    QCOMPARE(hover.pixelColor(0, middle), kShadow);
    QCOMPARE(hover.pixelColor(combo.width() - 1, middle), kWhite);

    QCursor::setPos(combo.mapToGlobal(QPoint(-50, -50)));
    QTRY_COMPARE(combo.FrameState(), FlatFrameState::Normal);
    QCOMPARE(Render(combo).pixelColor(0, middle), kFace);

    combo.setEnabled(false);  // disabled: a highlight ring inside the face
    QCOMPARE(Render(combo).pixelColor(0, middle), kFace);
    QCOMPARE(Render(combo).pixelColor(1, middle), kWhite);
  }

  void editTakesOnlyHexadecimal() {
    CFlatEdit edit;
    QTest::keyClicks(&edit, QStringLiteral("0x7FEg- G00000"));
    QCOMPARE(edit.text(), QStringLiteral("0x7FE00000"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), QStringLiteral("0x7FE0000"));

    // Shortcuts still work, and pasted text is not filtered.
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), QStringLiteral("zz"));
  }
};

QTEST_MAIN(FlatControlsTest)
#include "flat_controls_test.moc"
