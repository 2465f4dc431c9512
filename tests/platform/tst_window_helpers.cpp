// The window-side helpers: wheel steps, scroll-bar moves, topmost windows, colours, and
// the window a message box stands over.
#include "platform/qt_platform.h"
#include "platform/window_helpers.h"

#include <QDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
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
    void box_owner_data();
    void box_owner();
    void box_outlives_its_owner_going();
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

void TestWindowHelpers::box_owner_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("owner");  // the object name of the window the box stands over
    QTest::newRow("no window active: the main window") << "main" << "main";
    QTest::newRow("a small window active") << "small active" << "small";
    QTest::newRow("the wait window active: the main window") << "tool active" << "main";
    QTest::newRow("a modal dialog up") << "modal" << "modal";
    QTest::newRow("a window's own message") << "small active, own message of other" << "other";
    QTest::newRow("the main window hidden, none active") << "main hidden" << "";
}

// A box the core asks for without naming a window stands over the one the user is in,
// else over the main window; the middle of the screen only when neither is up.
void TestWindowHelpers::box_owner() {
    QFETCH(QString, situation);
    QFETCH(QString, owner);
    QWidget main;
    main.setObjectName("main");
    auto* small = new QWidget(&main, Qt::Window);
    small->setObjectName("small");
    auto* other = new QWidget(&main, Qt::Window);
    other->setObjectName("other");
    auto* wait = new QWidget(&main, Qt::Tool);
    wait->setObjectName("wait");
    auto* modal = new QDialog(&main);
    modal->setObjectName("modal");
    MessageBoxOwner::set_main_window(&main);
    if (!situation.contains(u"hidden")) main.show();
    small->show();
    other->show();
    wait->show();
    QApplication::setActiveWindow(nullptr);
    if (situation.startsWith(u"small active")) QApplication::setActiveWindow(small);
    if (situation == u"tool active") QApplication::setActiveWindow(wait);
    if (situation == u"modal") {
        modal->setModal(true);
        modal->show();
        QApplication::setActiveWindow(modal);
    }
    if (situation.contains(u"hidden")) {
        small->hide();
        other->hide();
        wait->hide();
    }
    std::optional<MessageBoxOwner> own;
    if (situation.contains(u"own message")) own.emplace(other);
    QWidget* chosen = MessageBoxOwner::current();
    QCOMPARE(chosen ? chosen->objectName() : QString(), owner);
    own.reset();
    MessageBoxOwner::set_main_window(nullptr);
}

// The window a box stands over may be unloaded while the box is up (a timer ends it):
// the box goes with it and the caller goes on.
void TestWindowHelpers::box_outlives_its_owner_going() {
    QtMessagePresenter presenter;
    auto* window = new QWidget(nullptr, Qt::Window);
    window->show();
    QPointer<QWidget> watched = window;
    QTimer::singleShot(50, window, [window] { window->deleteLater(); });
    // Should the box outlive its window after all, it is closed rather than waited for.
    QTimer::singleShot(3000, [] {
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    {
        const MessageBoxOwner owner(window);
        presenter.message_box("Quorbelix", "Its window goes while it is up");
    }
    QVERIFY(watched.isNull());
}

QTEST_MAIN(TestWindowHelpers)
#include "tst_window_helpers.moc"
