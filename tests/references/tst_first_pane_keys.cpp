// Keys typed on a real X display while the first browser pane comes up. The pane draws
// through Qt Quick, and the frame gets a new native window of that kind then: the keys
// typed before, while and after it changes all reach the field the user is typing in.
// Run once with no window manager, where nothing but the program gives its windows the
// keyboard focus, and once with QB_TEST_WINDOW_MANAGER naming one, which frames the
// windows and gives the focus to a window it maps.
#include "references/savewebpage.h"
#include "references_fixture.h"
#include "shell/tips.h"
#include "support/webengine_test_main.h"
#include "support/x_display.h"

#include <QDateTime>
#include <QProcess>
#include <QThread>
#include <QWebEngineView>

using namespace qb;
using namespace qb::test;

namespace {

QString tool(const char* name) { return QStandardPaths::findExecutable(QString::fromLatin1(name)); }

bool run_xdotool(const QStringList& args) {
    QProcess p;
    p.start(tool("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// When the frame's new native window came (ms since the epoch). stall_ms: the program is
// busy that long as the old one goes, as a slower machine is, so that the keys typed
// meanwhile are still queued for the old window.
struct WindowChanges : QObject {
    WindowChanges(QWidget* frame, int stall_ms) : frame_(frame), stall_ms_(stall_ms) { frame->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange && frame_->internalWinId() != 0)
            renewed_at << QDateTime::currentMSecsSinceEpoch();
        if (event->type() == QEvent::PlatformSurface &&
            static_cast<QPlatformSurfaceEvent*>(event)->surfaceEventType() ==
                QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed)
            QThread::msleep(stall_ms_);
        return false;
    }
    QWidget* frame_;
    int stall_ms_;
    QList<qint64> renewed_at;
};

} // namespace

class TestFirstPaneKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void keys_typed_as_the_first_pane_opens_data();
    void keys_typed_as_the_first_pane_opens();
};

void TestFirstPaneKeys::initTestCase() {
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY2(!tool("xdotool").isEmpty(), "xdotool is not installed (scripts/test installs it)");
    SaveWebPage::start_page = QStringLiteral("about:blank");
}

void TestFirstPaneKeys::keys_typed_as_the_first_pane_opens_data() {
    // From Ctrl+W to the first key; a quick typist's pause, so that Ctrl+W is handled first.
    QTest::addColumn<int>("after_ms");
    QTest::addColumn<int>("stall_ms");
    QTest::addColumn<bool>("tips");  // the tips window open beside the frame, as after a start
    // The first pane of the process also starts the browser engine; the frames of the
    // later rows are new too and get their new native window with their first pane.
    QTest::newRow("right after") << 30 << 0 << false;
    QTest::newRow("a little later") << 150 << 0 << false;
    QTest::newRow("program busy as the window goes") << 30 << 700 << false;
    // The small windows get new native windows too, and are mapped again first.
    QTest::newRow("tips open, right after") << 30 << 0 << true;
    QTest::newRow("tips open, program busy as the window goes") << 30 << 700 << true;
}

void TestFirstPaneKeys::keys_typed_as_the_first_pane_opens() {
    QFETCH(int, after_ms);
    QFETCH(int, stall_ms);
    QFETCH(bool, tips);
    ReferencesFixture f;
    if (tips) {
        QWidget* t = f.shell->tips();
        t->show();
        QVERIFY(QTest::qWaitForWindowExposed(t));
    }
    f.mdi->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.mdi));
    // The pointer away from the program's windows: keys go by the keyboard focus alone.
    QVERIFY(run_xdotool({"mousemove", "1279", "1023"}));
    // Numbers, so that a failure shows which keys were lost.
    QString typed;
    for (int i = 0; typed.size() < 400; ++i) typed += QString::number(i) + u' ';
    WindowChanges changes(f.mdi, stall_ms);
    // Ctrl+W opens the web page editor; the shell tells when the typing ended.
    QProcess keys;
    keys.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    keys.start(QStringLiteral("sh"), {"-c", "\"$0\" \"$@\" && date +%s%3N", tool("xdotool"), "key", "ctrl+w", "sleep",
                                      QString::number(after_ms / 1000.0), "type", "--delay", "25", typed});
    QVERIFY(QTest::qWaitFor([&] { return keys.state() == QProcess::NotRunning; }, 60000));
    QCOMPARE(keys.exitCode(), 0);
    const qint64 typing_ended = keys.readAllStandardOutput().trimmed().toLongLong();
    auto* e = f.window<SaveWebPage>("SaveWebPage");
    QVERIFY(e && e->isVisible());
    QCOMPARE(f.mdi->focusWidget(), e->security_name);
    (void)QTest::qWaitFor([&] { return e->security_name->text() == typed; }, 10000);
    const QString got = e->security_name->text();
    QVERIFY2(got == typed, qPrintable(QStringLiteral("%1 of %2 keys lost; the field holds \"%3\"")
                                          .arg(typed.size() - got.size())
                                          .arg(typed.size())
                                          .arg(got)));
    // The frame's window changed while the keys were typed, or this row showed nothing.
    QCOMPARE(changes.renewed_at.size(), 1);
    QVERIFY2(changes.renewed_at[0] < typing_ended,
             qPrintable(QStringLiteral("the new window came %1 ms after the typing ended")
                            .arg(changes.renewed_at[0] - typing_ended)));
    // The user goes on typing in the frame.
    QTRY_VERIFY(f.mdi->isActiveWindow());
    QVERIFY(e->security_name->hasFocus());
}

int main(int argc, char** argv) {
    XDisplay display;
    if (!display.start()) return 1;
    const QByteArray manager = qgetenv("QB_TEST_WINDOW_MANAGER");
    if (!manager.isEmpty() && !display.start_window_manager(manager)) return 1;
    prepare_webengine();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestFirstPaneKeys tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_first_pane_keys.moc"
