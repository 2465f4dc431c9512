#include "checklists/checklists_windows.h"
#include "journal/title.h"
#include "market/market_windows.h"
#include "platform/qt_platform.h"
#include "references/references_windows.h"
#include "reports/reports_windows.h"
#include "shell/startup.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char** argv) {
    // The browser panes need a shared GL context, and their sandbox cannot start as root.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorbelix"));
    // Ties the windows to the desktop entry the run command installs (its icon, its name).
    QGuiApplication::setDesktopFileName(QStringLiteral("quorbelix"));
    // The program ends through Exit or the frame's close, never because a small window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    qb::QtPlatform platform;
    auto program = qb::Main(platform.platform(), QCoreApplication::applicationDirPath(), [](qb::Shell& shell) {
        qb::register_journal_windows(shell);
        qb::register_checklists_windows(shell);
        qb::register_references_windows(shell);
        qb::register_market_windows(shell);
        qb::register_reports_windows(shell);
    });
    if (!program) return 1;
    return app.exec();
}
