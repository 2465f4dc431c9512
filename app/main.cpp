#include "platform/qt_platform.h"
#include "journal/title.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorbelix"));
    // The program ends through Exit or the frame's close, never because a small window closed.
    QApplication::setQuitOnLastWindowClosed(false);

    qb::QtPlatform platform;
    auto program = qb::Main(platform.platform(), QCoreApplication::applicationDirPath(), qb::register_journal_windows);
    if (!program) return 1;
    return app.exec();
}
