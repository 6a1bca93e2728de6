#include "controls/hex_viewer.h"
#include "controls/hex_clipboard.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QtTest>

#include <memory>
#include <set>
#include <string>
#include <utility>

using tw::CHexViewer;
using tw::HexArea;
using tw::HexClipboard;

class HexViewerTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<CHexViewer> m_viewer;

  void Load(std::uint32_t n) {
    m_viewer->Clear();
    for (std::uint32_t i = 0; i < n; ++i) {
      m_viewer->AppendByte(static_cast<std::uint8_t>(i), i);
    }
    m_viewer->SetLength(n);
  }

  [[nodiscard]] int Cw() const { return m_viewer->Model().Layout().CharWidth(); }
  [[nodiscard]] int Lh() const { return m_viewer->Model().Layout().LineHeight(); }

  // The centre of a byte's cell in the given column, in viewport coordinates.
  [[nodiscard]] QPoint CellOf(std::uint32_t offset, HexArea area) const {
    const auto& layout = m_viewer->Model().Layout();
    const int rel = static_cast<int>(offset - m_viewer->Model().TopOffset());
    const int col = rel % 16;
    int x = Cw() / 2;
    if (area == HexArea::Ascii) {
      x += layout.AsciiColumnX() + col * Cw();
    } else if (area != HexArea::Address) {
      x += layout.HexColumnX() + (3 * col + (area == HexArea::HexLow ? 1 : 0)) * Cw();
    }
    return {x - m_viewer->Model().HorizontalOffset(), (rel / 16) * Lh() + Lh() / 2};
  }

  void Click(std::uint32_t offset, HexArea area, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, mods, CellOf(offset, area));
  }

  [[nodiscard]] std::uint8_t ByteAt(std::uint32_t offset) const { return m_viewer->GetData()[offset]; }

  [[nodiscard]] QImage Grab() const { return m_viewer->viewport()->grab().toImage(); }

  // As in the dialog, the view is never a whole number of rows high: half a row more than `rows`.
  void ShowRowsAndAHalf(int rows, int width = 720) {
    const int target = rows * Lh() + Lh() / 2;
    m_viewer->resize(width, target + 40);
    for (int i = 0; i < 2; ++i) {  // a scroll bar may come or go with the first fit
      m_viewer->resize(width, target + m_viewer->height() - m_viewer->viewport()->height());
    }
    QCOMPARE(m_viewer->viewport()->height(), target);
  }

  // A wheel notch (positive: away from the user), delivered where the real one arrives.
  void Wheel(int notches, Qt::KeyboardModifiers mods = {}) {
    const QPointF at(m_viewer->viewport()->rect().center());
    QWheelEvent event(at, m_viewer->viewport()->mapToGlobal(at), QPoint(), QPoint(0, notches * 120), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(m_viewer->viewport(), &event);
  }

  // The caret's block lies wholly inside the painted area.
  [[nodiscard]] bool CaretOnScreen() const {
    const tw::HexRect caret = m_viewer->Model().CaretRect();
    return m_viewer->Model().CaretVisible() && caret.x >= 0 && caret.x + caret.width <= m_viewer->viewport()->width();
  }

 private slots:
  void init() {
    m_viewer = std::make_unique<CHexViewer>();
    m_viewer->resize(720, 20 * QFontMetrics(CHexViewer::ViewerFont()).height() + 40);
    m_viewer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_viewer.get()));
    m_viewer->activateWindow();
    m_viewer->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(m_viewer.get()));
  }

  void cleanup() { m_viewer.reset(); }

  void metricsComeFromTheFont() {
    const QFont font = CHexViewer::ViewerFont();
    QVERIFY(font.fixedPitch() || QFontInfo(font).fixedPitch());
    QVERIFY(std::abs(Cw() - QFontMetrics(font).horizontalAdvance(QLatin1Char('0'))) <= 1);
    QCOMPARE(Lh(), QFontMetrics(font).height());
  }

  void appendByteGrowsGeometricallyAndNeverReadsPastTheBuffer() {
    std::set<const std::uint8_t*> blocks;
    constexpr std::uint32_t kSize = 1 << 20;
    for (std::uint32_t i = 0; i < kSize; ++i) {
      m_viewer->AppendByte(static_cast<std::uint8_t>(i * 7), i);
      blocks.insert(m_viewer->GetData());
    }
    m_viewer->SetLength(kSize);
    QVERIFY(blocks.size() <= 40);  // a reallocation per byte would give about a million
    QCOMPARE(ByteAt(kSize - 1), static_cast<std::uint8_t>((kSize - 1) * 7));
    m_viewer->AppendByte(0x55, 0);  // a new buffer without Clear: the stale length must not outlive the bytes
    QCOMPARE(m_viewer->GetLength(), 1u);
    m_viewer->SetLength(3);  // bytes never appended read as zero
    QCOMPARE(ByteAt(2), 0);
  }

  void keysMoveTheCaretAndStopAtTheEnds() {
    struct Step {
      std::uint32_t length, from;
      HexArea area;
      Qt::Key key;
      std::int64_t offset;
      HexArea areaAfter;
    };
    for (const Step& s : {Step{32, 5, HexArea::HexHigh, Qt::Key_Right, 5, HexArea::HexLow},
                          Step{32, 0, HexArea::HexHigh, Qt::Key_Left, 0, HexArea::HexLow},
                          Step{32, 31, HexArea::HexLow, Qt::Key_Right, 31, HexArea::HexHigh},
                          Step{40, 5, HexArea::Ascii, Qt::Key_Up, 0, HexArea::Ascii},
                          Step{40, 37, HexArea::Ascii, Qt::Key_Down, 37, HexArea::Ascii},
                          Step{40, 20, HexArea::Ascii, Qt::Key_Down, 36, HexArea::Ascii},
                          Step{40, 16, HexArea::Address, Qt::Key_Down, 16, HexArea::Address},
                          Step{40, 16, HexArea::Address, Qt::Key_Tab, 16, HexArea::HexHigh},
                          Step{40, 20, HexArea::Ascii, Qt::Key_Home, 16, HexArea::Ascii}}) {
      Load(s.length);
      Click(s.from, s.area);
      QTest::keyClick(m_viewer.get(), s.key);
      QCOMPARE(m_viewer->Model().CaretOffset(), s.offset);
      QCOMPARE(m_viewer->Model().CaretArea(), s.areaAfter);
    }
  }

  void selectionsEitherWayCopyCutDeleteAndInsertTheSameBytes() {
    for (const bool backwards : {false, true}) {
      for (const auto& [key, modifiers] :
           {std::pair{Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_X, Qt::ControlModifier}}) {
        Load(20);
        Click(backwards ? 7 : 3, HexArea::Ascii);
        Click(backwards ? 3 : 7, HexArea::Ascii, Qt::ShiftModifier);
        QTest::keyClick(m_viewer.get(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(HexClipboard::kX11BinaryFormat),
                 QByteArray("\x03\x04\x05\x06"));
        QTest::keyClick(m_viewer.get(), key, modifiers);
        QCOMPARE(m_viewer->GetLength(), 16u);
        QCOMPARE(ByteAt(3), 7);
        QVERIFY(key != Qt::Key_Delete || m_viewer->Model().CaretOffset() == 3);
      }
    }
    // Shift+arrows select too, keeping the caret; Insert adds as many bytes as selected.
    Click(3, HexArea::HexHigh);
    QTest::keyClick(m_viewer.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(m_viewer.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m_viewer->Model().SelectionEnd(), 5);
    QCOMPARE(m_viewer->Model().CaretOffset(), 4);
    QVERIFY(m_viewer->Model().CaretVisible());
    QTest::keyClick(m_viewer.get(), Qt::Key_Insert);
    QCOMPARE(m_viewer->GetLength(), 18u);
    QVERIFY(!m_viewer->Model().HasSelection());
    // An ASCII drag ends before a character's left half, and past the end it takes the last byte.
    Load(32);
    const QPoint from = CellOf(16, HexArea::Ascii);
    QTest::mousePress(m_viewer->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_viewer->viewport(), CellOf(20, HexArea::Ascii) - QPoint(Cw() / 4, 0));
    QCOMPARE(m_viewer->Model().SelectionEnd(), 20);  // the left half of a character ends before it
    const QPoint past = CellOf(31, HexArea::Ascii) + QPoint(3 * Cw(), 0);
    QTest::mouseMove(m_viewer->viewport(), past);
    QTest::mouseRelease(m_viewer->viewport(), Qt::LeftButton, {}, past);
    QCOMPARE(m_viewer->Model().SelectionAnchor(), 16);
    QCOMPARE(m_viewer->Model().SelectionEnd(), 32);
  }

  void caretIsPulledBackToTheLastByteOnEveryPath() {
    Load(20);
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, CellOf(16 + 10, HexArea::HexHigh));  // past the end
    QCOMPARE(m_viewer->Model().CaretOffset(), 19);

    // A drag that runs past the end of a scrolled view.
    Load(1000);
    QTest::keyClick(m_viewer.get(), Qt::Key_End, Qt::ControlModifier);
    const QPoint from = CellOf(m_viewer->Model().TopOffset(), HexArea::HexHigh);
    QTest::mousePress(m_viewer->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_viewer->viewport(), QPoint(from.x() + 40 * Cw(), m_viewer->viewport()->height() - 1));
    QVERIFY(m_viewer->Model().CaretOffset() < 1000);
    QVERIFY(m_viewer->Model().SelectionEnd() <= 1000);
    QTest::mouseRelease(m_viewer->viewport(), Qt::LeftButton, {}, from);

    // A cut of the tail, then a paste over a selection that shortens the buffer.
    Load(40);
    Click(20, HexArea::HexHigh);
    Click(39, HexArea::HexHigh, Qt::ShiftModifier);
    QTest::keyClick(m_viewer.get(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(m_viewer->Model().CaretOffset(), 19);
    Click(5, HexArea::HexHigh);
    Click(19, HexArea::HexHigh, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("A"));
    QTest::keyClick(m_viewer.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_viewer->Model().CaretOffset(), 5);
    QTest::keyClicks(m_viewer.get(), "7");
    QCOMPARE(m_viewer->GetLength(), 6u);
    QCOMPARE(ByteAt(5), 0x71);

    // A shorter buffer loaded into a view scrolled far down.
    Load(4000);
    QTest::keyClick(m_viewer.get(), Qt::Key_End, Qt::ControlModifier);
    Load(50);
    QCOMPARE(m_viewer->Model().TopOffset(), 0u);
    QVERIFY(m_viewer->Model().CaretOffset() < 50);
  }

  void clickAndTypeOverBytesButNotAltLetters() {
    Load(64);
    Click(19, HexArea::HexHigh);
    QTest::keyClicks(m_viewer.get(), "cg3");  // not a digit: skipped
    QCOMPARE(ByteAt(19), 0xC3);
    QCOMPARE(m_viewer->Model().CaretOffset(), 20);

    Click(21, HexArea::HexLow);
    QTest::keyClicks(m_viewer.get(), "f");
    QCOMPARE(ByteAt(21), 0x1F);

    Click(2, HexArea::Ascii);
    QTest::keyClicks(m_viewer.get(), "Hi");

    QTest::keyClick(m_viewer.get(), Qt::Key_Tab, Qt::ShiftModifier);  // ASCII -> hex; Tab would leave
    QVERIFY(m_viewer->hasFocus());
    QCOMPARE(m_viewer->Model().CaretArea(), HexArea::HexHigh);
    QTest::keyClick(m_viewer.get(), Qt::Key_Backspace);
    QCOMPARE(m_viewer->GetLength(), 63u);
    QTest::keyClick(m_viewer.get(), Qt::Key_A, Qt::AltModifier);  // Alt+letters are the dialog's
    QCOMPARE(ByteAt(2), 'H');
    QCOMPARE(ByteAt(3), 4);  // the 'i' went
    Click(0, HexArea::Ascii);
    QTest::keyClick(m_viewer.get(), Qt::Key_Q, Qt::AltModifier);
    QCOMPARE(ByteAt(0), 0);
  }

  // Select All highlights and copies the caret's column: bytes under both names, and its text.
  void selectionIsHighlightedAndCopiedFromTheCaretsColumn() {
    Load(64);
    Click(0, HexArea::HexHigh);
    m_viewer->OnCommand(CHexViewer::kIdEditSelectAll);
    const QImage image = Grab();
    const QColor highlight = m_viewer->palette().color(QPalette::Highlight);
    const QPoint hexBlank = CellOf(5, HexArea::HexLow) + QPoint(Cw(), 0);  // the byte's trailing blank
    const QPoint asciiCell = CellOf(5, HexArea::Ascii) + QPoint(0, Lh() / 2 - 1);
    QCOMPARE(image.pixelColor(hexBlank), highlight);
    QCOMPARE(image.pixelColor(asciiCell), QColor(Qt::white));
    QTest::keyClick(m_viewer.get(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const QByteArray bytes(reinterpret_cast<const char*>(m_viewer->GetData()), 64);
    QCOMPARE(mime->data(HexClipboard::kWindowsBinaryFormat), bytes);
    QCOMPARE(mime->data(HexClipboard::kX11BinaryFormat), bytes);
    QCOMPARE(mime->text().left(12), QStringLiteral("00 01 02 03 "));

    Click(0, HexArea::Ascii);
    m_viewer->OnCommand(CHexViewer::kIdEditSelectAll);
    const QImage again = Grab();
    QCOMPARE(again.pixelColor(hexBlank), QColor(Qt::white));
    QCOMPARE(again.pixelColor(asciiCell), highlight);
    m_viewer->OnCommand(CHexViewer::kIdEditCopy);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->text().mid(0x2E, 4), QStringLiteral("./01"));
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->text().left(1), QStringLiteral("."));  // unprintable
    // The Windows binary name goes before the text (the bare target and text: the X11 clipboard test).
    Click(9, HexArea::HexLow);
    auto* pasted = new QMimeData;
    pasted->setData(HexClipboard::kWindowsBinaryFormat, QByteArray("\x00\xFF\x10", 3));
    pasted->setText(QStringLiteral("ignored"));
    QGuiApplication::clipboard()->setMimeData(pasted);
    QTest::keyClick(m_viewer.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_viewer->GetLength(), 67u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(m_viewer->GetData()) + 10, 3), QByteArray("\x00\xFF\x10", 3));
    QCOMPARE(m_viewer->Model().CaretOffset(), 9);
  }

  // The menu as Shift+F10 opens it: its enabled items, or the one triggered with `pick`.
  QStringList OpenContextMenu(int pick = -1) {
    QStringList enabled;
    QTimer::singleShot(0, this, [&enabled, pick] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu != nullptr && menu->actions().size() == 7);
      for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
          enabled << action->text();
        }
      }
      if (pick >= 0) {
        menu->actions()[pick]->trigger();
      }
      menu->close();
    });
    QTest::keyClick(m_viewer.get(), Qt::Key_F10, Qt::ShiftModifier);
    return enabled;
  }

  void contextMenuItemsFollowSelectionAndClipboard() {
    QGuiApplication::clipboard()->clear();
    Load(32);
    QCOMPARE(OpenContextMenu(), QStringList{QStringLiteral("Select &All")});
    Click(0, HexArea::HexHigh);
    QTest::keyClick(m_viewer.get(), Qt::Key_Right, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("x"));
    QCOMPARE(OpenContextMenu(5), (QStringList{"Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}));  // Delete
    QCOMPARE(m_viewer->GetLength(), 31u);
  }

  void withHalfARowShowingDragsScrollAndLinesUpReachTheFirstByte() {
    Load(1000);
    ShowRowsAndAHalf(10);
    const QPoint from = CellOf(16, HexArea::HexHigh);
    QTest::mousePress(m_viewer->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_viewer->viewport(), CellOf(32 + 2, HexArea::HexHigh));
    // Into the half row at the bottom: below the last whole row.
    QTest::mouseMove(m_viewer->viewport(), QPoint(from.x() + 6 * Cw(), m_viewer->viewport()->height() - 2));
    QCOMPARE(m_viewer->Model().TopOffset(), 16u);
    QCOMPARE(m_viewer->Model().SelectionEnd(), 16 + 9 * 16 + 2 + 1);  // the last whole row, under the pointer
    QCOMPARE(m_viewer->Model().CaretOffset(), 16 + 9 * 16 + 2);
    QTest::mouseRelease(m_viewer->viewport(), Qt::LeftButton, {}, from);

    // From a top that is not on a row boundary, lines up reach the first byte.
    QTest::keyClick(m_viewer.get(), Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(m_viewer.get(), Qt::Key_PageDown);
    }
    QCOMPARE(m_viewer->Model().TopOffset(), 840u);
    Wheel(30);
    QCOMPARE(m_viewer->Model().TopOffset(), 0u);

    for (int i = 0; i < 8; ++i) {
      QTest::keyClick(m_viewer.get(), Qt::Key_PageDown);
    }
    for (int i = 0; i < 70; ++i) {
      QTest::keyClick(m_viewer.get(), Qt::Key_Up);
    }
    QCOMPARE(m_viewer->Model().TopOffset(), 0u);
    QCOMPARE(m_viewer->Model().CaretOffset(), 0);
  }

  void scrollBarPagesKeepTheEditOnScreenAndStopAtTheEnd() {
    Load(512);
    ShowRowsAndAHalf(8);
    Click(0x10, HexArea::HexHigh);
    QScrollBar* bar = m_viewer->verticalScrollBar();
    // In the track just above the down arrow: below the handle, which covers a quarter of it.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - bar->width() - 4));
    QCOMPARE(m_viewer->Model().TopOffset(), 0x80u);
    QVERIFY(CaretOnScreen());

    QTest::keyClicks(m_viewer.get(), "ff");
    QCOMPARE(ByteAt(0x90), 0xFF);  // the caret's row moved with the view, one page
    QCOMPARE(ByteAt(0x110), 0x10);

    for (int i = 0; i < 10; ++i) {
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    }
    QCOMPARE(m_viewer->Model().TopOffset(), 512u - 16u * m_viewer->Model().Layout().VisibleLines());
    QVERIFY(m_viewer->Model().CaretOffset() < 512);
    QCOMPARE(bar->value(), static_cast<int>(m_viewer->Model().TopOffset() / 16));
    bar->triggerAction(QAbstractSlider::SliderToMinimum);  // not a request the viewer answers
    QCOMPARE(bar->value(), static_cast<int>(m_viewer->Model().TopOffset() / 16));
    bar->setSliderPosition(3);
    QCOMPARE(m_viewer->Model().TopOffset(), 48u);
  }

  void sidewaysScrollingAndTheCaretStayTogether() {
    Load(256);
    ShowRowsAndAHalf(8, 30 * Cw());
    Click(0, HexArea::HexHigh);
    Wheel(-1, Qt::ShiftModifier);
    QVERIFY(m_viewer->Model().HorizontalOffset() > 0);
    QCOMPARE(m_viewer->Model().TopOffset(), 0u);
    QCOMPARE(m_viewer->horizontalScrollBar()->value(), m_viewer->Model().HorizontalOffset());

    QTest::keyClick(m_viewer.get(), Qt::Key_End);
    QCOMPARE(m_viewer->Model().CaretOffset(), 15);
    QVERIFY(CaretOnScreen());
    m_viewer->horizontalScrollBar()->setValue(0);  // the caret is off the right edge now
    QTest::keyClicks(m_viewer.get(), "a");
    QCOMPARE(ByteAt(15), 0xAF);
    QVERIFY(CaretOnScreen());
    QCOMPARE(m_viewer->horizontalScrollBar()->value(), m_viewer->Model().HorizontalOffset());

    // Scrolled to the end, the ASCII column is on screen and a click there lands on its byte.
    QScrollBar* bar = m_viewer->horizontalScrollBar();
    bar->setValue(bar->maximum());
    QCOMPARE(m_viewer->Model().HorizontalOffset(), bar->maximum());
    const QPoint ascii = CellOf(2, HexArea::Ascii);
    QVERIFY(ascii.x() > 0 && ascii.x() < m_viewer->viewport()->width());
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, ascii);
    QCOMPARE(m_viewer->Model().CaretArea(), HexArea::Ascii);
    QCOMPARE(m_viewer->Model().CaretOffset(), 2);
  }

  void addressesCountFromTheBaseInEightOrFourDigits() {
    m_viewer->SetAddressBase(0x7FE00000);
    Load(20);
    QCOMPARE(m_viewer->Model().VisibleRows()[1].address, std::string("7FE00010"));
    QCOMPARE(m_viewer->Model().VisibleRows()[1].hex, "10 11 12 13 " + std::string(36, ' '));  // the partial row
    QCOMPARE(m_viewer->Model().VisibleRows()[1].ascii, std::string("...."));

    m_viewer->SetColumns(true, true, true, false);
    m_viewer->SetAddressBase(0x00400000);
    Load(64);
    const auto rows = m_viewer->Model().VisibleRows();
    QCOMPARE(QString::fromStdString(rows[0].address), QStringLiteral("0000"));
    QCOMPARE(QString::fromStdString(rows[1].address), QStringLiteral("0010"));
    Click(2, HexArea::HexHigh);
    QCOMPARE(m_viewer->Model().CaretArea(), HexArea::HexHigh);
    QCOMPARE(m_viewer->Model().CaretOffset(), 2);
    Click(2, HexArea::HexLow);
    QCOMPARE(m_viewer->Model().CaretArea(), HexArea::HexLow);
    QTest::keyClicks(m_viewer.get(), "e");
    QCOMPARE(ByteAt(2), 0x0E);
  }

  void emptyViewerPaintsWhiteAndALongOneOnlyItsVisibleRows() {
    m_viewer->Clear();
    QTest::mouseClick(m_viewer->viewport(), Qt::LeftButton, {}, QPoint(40, 5));
    QTest::keyClick(m_viewer.get(), Qt::Key_Down);
    QTest::keyClicks(m_viewer.get(), "12");
    QCOMPARE(m_viewer->GetData(), nullptr);
    const QImage image = Grab();
    QCOMPARE(image.pixelColor(40, 5), QColor(Qt::white));
    QCOMPARE(m_viewer->PaintedRows(), 0);
    QTest::keyClick(m_viewer.get(), Qt::Key_Insert);
    QCOMPARE(m_viewer->GetLength(), 1u);

    m_viewer->Clear();
    m_viewer->SetLength(64u << 20);  // a long buffer: only the visible rows are painted
    const int rows = m_viewer->viewport()->height() / Lh();
    (void)Grab();
    QCOMPARE(m_viewer->PaintedRows(), rows);
    QTest::keyClick(m_viewer.get(), Qt::Key_End, Qt::ControlModifier);
    (void)Grab();
    QCOMPARE(m_viewer->PaintedRows(), rows);
    QCOMPARE(m_viewer->Model().CaretOffset(), (64 << 20) - 1);
  }
};

QTEST_MAIN(HexViewerTest)
#include "hex_viewer_test.moc"
