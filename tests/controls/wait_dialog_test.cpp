#include <QLabel>
#include <QtTest>

#include <algorithm>

#include "controls/wait_dialog.h"

using tw::CWaitDialog;

class WaitDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void shownCentredOnTheMainDialogWithTheMessageCaption() {
    QWidget mainDialog;
    mainDialog.setGeometry(100, 80, 500, 420);
    mainDialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainDialog));

    CWaitDialog wait;
    wait.ShowCentredOn(&mainDialog, QStringLiteral("Wait For Converting Photo to STB Photo"));
    QVERIFY(wait.IsShown());
    QCOMPARE(wait.windowTitle(), QStringLiteral("Message"));
    const QPoint offset = wait.frameGeometry().center() - mainDialog.frameGeometry().center();
    QVERIFY(offset.manhattanLength() <= 2);
    // The whole line fits, however wide the font.
    auto* text = wait.findChild<QLabel*>(QStringLiteral("1020"));
    QVERIFY(text->width() >= text->fontMetrics().horizontalAdvance(wait.Text()) || text->width() == wait.width());

    // One at a time: showing again replaces the text in the same window.
    wait.ShowCentredOn(&mainDialog, QStringLiteral("Wait for a while"));
    QCOMPARE(wait.Text(), QStringLiteral("Wait for a while"));
    QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                                   [](QWidget* w) { return qobject_cast<CWaitDialog*>(w) && w->isVisible(); }),
             1);
  }
};

QTEST_MAIN(WaitDialogTest)
#include "wait_dialog_test.moc"
