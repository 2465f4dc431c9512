// The window-side helpers: wheel steps, scroll-bar moves, topmost windows, colours.
#include "platform/window_helpers.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QtTest>

using namespace qb;

namespace {

void send_wheel(QWidget* w, int delta) {
    QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

} // namespace

class TestWindowHelpers : public QObject {
    Q_OBJECT

private slots:
    void wheel_steps_data();
    void wheel_steps();
    void slider_moves_data();
    void slider_moves();
    void topmost_keeps_window_visible();
    void colors();
    void design_faces_keep_their_widths_data();
    void design_faces_keep_their_widths();
};

void TestWindowHelpers::wheel_steps_data() {
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("one notch forward") << QList<int>{120} << QList<int>{1};
    QTest::newRow("one notch backward") << QList<int>{-120} << QList<int>{-1};
    QTest::newRow("two notches at once") << QList<int>{240} << QList<int>{1, 1};
    QTest::newRow("fine deltas add up") << QList<int>{60, 30, 30} << QList<int>{1};
    QTest::newRow("below a notch does nothing") << QList<int>{100} << QList<int>{};
}

void TestWindowHelpers::wheel_steps() {
    QFETCH(QList<int>, deltas);
    QWidget window;
    auto* child = new QWidget(&window);
    QList<int> seen;
    auto* filter = new WheelFilter(&window, [&](int s) { seen << s; });
    filter->install_on(&window);
    for (int d : deltas) send_wheel(child, d);
    QTEST(seen, "steps");
}

void TestWindowHelpers::slider_moves_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("upper");
    QTest::addColumn<int>("after");
    QTest::newRow("forward") << 5 << 1 << 40 << 4;
    QTest::newRow("forward stops at 0") << 0 << 1 << 40 << 0;
    QTest::newRow("backward") << 5 << -1 << 40 << 6;
    QTest::newRow("backward stops at a cap under the maximum") << 29 << -1 << 29 << 29;
}

void TestWindowHelpers::slider_moves() {
    QFETCH(int, value);
    QFETCH(int, step);
    QFETCH(int, upper);
    QScrollBar bar;
    bar.setRange(0, 40);
    bar.setValue(value);
    wheel_move_slider(&bar, step, upper);
    QTEST(bar.value(), "after");

    bar.setRange(10, 100);
    bar.setSingleStep(30);
    bar.setValue(25);
    wheel_move_slider_small_change(&bar, 1);
    QCOMPARE(bar.value(), 10);  // would go below 0: to the minimum
    bar.setValue(80);
    wheel_move_slider_small_change(&bar, -1);
    QCOMPARE(bar.value(), 100);
}

void TestWindowHelpers::topmost_keeps_window_visible() {
    QWidget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    set_window_topmost(&w);
    QVERIFY(w.isVisible());
    QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
    set_window_topmost(&w);  // a second call changes nothing
    QVERIFY(w.isVisible());
    QWidget hidden;
    set_window_topmost(&hidden);
    QVERIFY(!hidden.isVisible());
}

void TestWindowHelpers::colors() {
    QCOMPARE(color_from_ole(0xC00000), QColor(0, 0, 192));
    QCOMPARE(color_from_ole(0x0080FF), QColor(255, 128, 0));
    QCOMPARE(color_from_ole(0x80000012), QApplication::palette().color(QPalette::ButtonText));
    QCOMPARE(twips_to_px(1440), 96);
    // Measured with a real font: an empty text is one line, a long one wraps.
    QCOMPARE(count_text_lines("", 3000, "Arial", false), 1);
    QVERIFY(count_text_lines(QString("word ").repeated(200), 3000, "Arial", false) > 5);
}

void TestWindowHelpers::design_faces_keep_their_widths_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("room");  // the box's width in pixels less its frame and margins
    // The entry list's read-only boxes: 1 pixel of text margin and 2 of the box's own on each side.
    QTest::newRow("price column") << "MS Sans Serif" << "999.00" << false << twips_to_px(615) - 6;
    QTest::newRow("date column") << "MS Sans Serif" << "12/31/26" << false << twips_to_px(855) - 6;
    QTest::newRow("shown checklist, completed") << "MS Sans Serif" << "Dunmarrow Keep Focu (Completed)" << true
                                                << twips_to_px(3015) - 2;
    QTest::newRow("other checklist, completed") << "MS Sans Serif" << "Margin of Safety Ru (Completed)" << false
                                                << twips_to_px(3015) - 2;
    QTest::newRow("quote button") << "MS Sans Serif" << "Get Quote" << false << twips_to_px(975) - 8;
    QTest::newRow("name label") << "MS Sans Serif" << "Security Name:" << false << twips_to_px(1575);
    QTest::newRow("list caption") << "Arial" << "Summary Data: SORTED by Date Added" << true << twips_to_px(7575);
}

void TestWindowHelpers::design_faces_keep_their_widths() {
    QFETCH(QString, face);
    QFETCH(QString, text);
    QFETCH(bool, bold);
    QFETCH(int, room);
    install_font_substitutes();
    QFont font(face);
    font.setPixelSize(face == "Arial" ? 16 : 11);
    font.setBold(bold);
    QCOMPARE(QFontInfo(font).family(), QString("Liberation Sans"));
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    QVERIFY2(width <= room, qPrintable(QString("%1 px in %2").arg(width).arg(room)));
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_window_helpers.moc"
