#include <climits>
#include <functional>

#include <QImage>
#include <QtTest>

#include "controls/percent_progress_ctrl.h"
#include "controls/percent_progress_model.h"
#include "pixel_test_support.h"

using tw::CPercentProgressCtrl;

namespace {

// Counts the pixels between two columns that `match`; by default the text's, neither bar colour.
int CountPixels(
    const QImage& image, int fromX = 0, int toX = -1,
    const std::function<bool(QColor)>& match = [](QColor c) { return c != kNavy && c != kWhite; }) {
  toX = toX < 0 ? image.width() : toX;
  int count = 0;
  for (int x = fromX; x < toX; ++x) {
    for (int y = 0; y < image.height(); ++y) {
      count += match(image.pixelColor(x, y)) ? 1 : 0;
    }
  }
  return count;
}

class PaintCounter : public QObject {
 public:
  int paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

class ProgressCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { UseClassicPalette(); }

  // Text in the background's own colour would vanish: over each part it takes the other part's colour.
  void theBarFillsItsShareAndTheTextShowsOverBothColours() {
    CPercentProgressCtrl bar;
    bar.resize(190, 20);
    QImage image = Render(bar);
    QCOMPARE(image.pixelColor(0, 0), kWhite);
    QVERIFY(CountPixels(image) > 0);

    bar.SetPos(100);
    image = Render(bar);
    QCOMPARE(image.pixelColor(189, 0), kNavy);
    QVERIFY(CountPixels(image, 0, 190, [](QColor c) { return c.red() > 0 && c != kWhite; }) > 0);

    bar.SetPos(50);
    image = Render(bar);
    for (int x = 0; x < 190; ++x) {
      QCOMPARE(image.pixelColor(x, 0), x < 95 ? kNavy : kWhite);
    }
    QVERIFY(CountPixels(image, 80, 95, [](QColor c) { return c != kNavy; }) > 0);  // the split runs through "50%"
    QVERIFY(CountPixels(image, 95, 110, [](QColor c) { return c != kWhite; }) > 0);
  }

  void captionReplacesThePercentageUntilCleared() {
    CPercentProgressCtrl bar;
    bar.resize(190, 20);
    bar.SetPos(70);
    const int percent = CountPixels(Render(bar));

    bar.SetWindowText(QStringLiteral("Download Complete!!!"));
    QCOMPARE(bar.GetWindowText(), QStringLiteral("Download Complete!!!"));
    bar.SetPos(20);
    QVERIFY(CountPixels(Render(bar)) > 2 * percent);

    bar.setWindowTitle(QString());
    bar.SetPos(70);
    QCOMPARE(CountPixels(Render(bar)), percent);
    bar.SetShowText(false);
    QCOMPARE(CountPixels(Render(bar)), 0);
  }

  void positionsOutsideTheRangeAreShownAsTheyComeAndSaturate() {
    struct Row {
      int pos, width, split;
      const char* text;
    };
    for (const Row& row : {Row{150, 100, 160, "150%"}, Row{-5, 100, 5, "-5%"}, Row{INT_MAX, 1000, INT_MAX, nullptr},
                           Row{INT_MIN, 1000, INT_MIN, nullptr}}) {
      tw::PercentProgressModel model;
      model.SetPos(row.pos, row.width);
      QCOMPARE(model.SplitX(10, 10 + row.width), row.split);
      QVERIFY(row.text == nullptr || model.Text() == row.text);
    }
  }

  void positionThatKeepsTheBarWidthDoesNotRepaint() {
    CPercentProgressCtrl bar;
    bar.resize(50, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    PaintCounter counter;
    bar.installEventFilter(&counter);

    QCOMPARE(bar.SetPos(10), 0);
    QCOMPARE(counter.paints, 1);
    QCOMPARE(bar.SetPos(11), 10);  // still 5 pixels
    QCOMPARE(counter.paints, 1);
    bar.SetPos(12);  // 6 pixels
    QCOMPARE(counter.paints, 2);

    // A new size forgets the width, so the same position paints again.
    bar.resize(60, 20);
    QCoreApplication::processEvents();
    const int afterResize = counter.paints;
    bar.SetPos(12);
    QCOMPARE(counter.paints, afterResize + 1);
  }
};

QTEST_MAIN(ProgressCtrlTest)
#include "progress_ctrl_test.moc"
