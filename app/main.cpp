#include "core/core.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorbelix"));

    qb::QtPlatform platform;
    qb::Core core(QCoreApplication::applicationDirPath(), platform.platform());

    core.init_blank_entry();
    core.init_blank_entry_checklist();
    core.init_blank_checklist();
    core.set_default_custom_links();
    core.load_summary_data();
    core.install_example_checklist();
    core.load_checklists();
    core.current_checklist = core.Checklists.value(0);
    core.current_entry.entry = core.SummaryData.value(0);
    core.load_preferences();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorbelix"));
    window.setCentralWidget(new QLabel(QStringLiteral("Quorbelix"), &window));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
