// Where the program's windows come up on a 1280 x 1024 screen: the small windows beside
// the frame stay whole on the screen.
#include "journal/title.h"
#include "market/market_windows.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/offscreen_screen.h"
#include "support/screens_shell.h"
#include "support/webengine_test_main.h"

#include <QAction>
#include <QScreen>

using namespace qb;
using namespace qb::test;

namespace {

// The real shell with the entry list and the market windows.
struct PlacesFixture : ScreensShell {
    PlacesFixture()
        : ScreensShell([](Shell& s) {
              register_journal_windows(s);
              register_market_windows(s);
          }) {
        fx.start();
        open_shell();
    }
};

QRect screen_area(const QWidget* w) { return w->screen()->availableGeometry(); }

} // namespace

class TestWindowPlaces : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void small_windows_inside_the_screen_data();
    void small_windows_inside_the_screen();
};

void TestWindowPlaces::initTestCase() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(screen.width() >= 1280 && screen.height() >= 1024,
             qPrintable(QStringLiteral("a screen of %1 x %2").arg(screen.width()).arg(screen.height())));
}

void TestWindowPlaces::small_windows_inside_the_screen_data() {
    QTest::addColumn<QString>("menu_item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QPoint>("frame_at");
    QTest::addColumn<bool>("beside");  // room for it right of the frame
    QTest::newRow("News, frame at the left") << "mnuNews" << "News" << QPoint(0, 0) << false;
    QTest::newRow("News, frame low on the screen") << "mnuNews" << "News" << QPoint(300, 560) << false;
    QTest::newRow("Quotes, frame at the left") << "mnuQuotes" << "Quotes" << QPoint(0, 0) << true;
    QTest::newRow("Quotes, frame to the right") << "mnuQuotes" << "Quotes" << QPoint(200, 100) << false;
    QTest::newRow("Quotes, frame at the right edge") << "mnuQuotes" << "Quotes" << QPoint(480, 0) << false;
}

// A small window comes up right of the frame, as far as the screen allows: its border too
// stays on the screen.
void TestWindowPlaces::small_windows_inside_the_screen() {
    QFETCH(QString, menu_item);
    QFETCH(QString, window);
    QFETCH(QPoint, frame_at);
    QFETCH(bool, beside);
    PlacesFixture f;
    f.mdi->move(frame_at);
    const QRect frame = f.mdi->frameGeometry();
    f.mdi->menu_item(menu_item)->trigger();
    QWidget* w = f.shell->loaded_window(window);
    QVERIFY(w && w->isVisible());
    const QRect outer = w->frameGeometry();
    const QRect screen = screen_area(w);
    QVERIFY2(screen.contains(outer), qPrintable(QStringLiteral("%1 at %2,%3 to %4,%5 on a screen to %6,%7")
                                                    .arg(window)
                                                    .arg(outer.left())
                                                    .arg(outer.top())
                                                    .arg(outer.right())
                                                    .arg(outer.bottom())
                                                    .arg(screen.right())
                                                    .arg(screen.bottom())));
    if (beside)
        QCOMPARE(outer.left(), frame.right() + 1);
    else
        QCOMPARE(outer.right(), screen.right());
    // Below the frame's top, unless that would take it past the screen's bottom.
    if (outer.bottom() < screen.bottom()) QCOMPARE(outer.top(), frame.top() + 40);
}

int main(int argc, char** argv) {
    prepare_webengine();
    use_offscreen_screen(1280, 1024);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowPlaces tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_window_places.moc"
