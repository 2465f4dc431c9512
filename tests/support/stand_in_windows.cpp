#include "support/stand_in_windows.h"

#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qb::test {

StandInWindow::StandInWindow(QWidget* parent, const QString& name, const QString& caption, bool has_after_loaded)
    : QWidget(parent, Qt::Window), has_after_loaded_(has_after_loaded) {
    setObjectName(name);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("caption_label"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(14);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    resize(420, 240);
}

void StandInWindow::after_loaded_do() {
    if (!has_after_loaded_ || after_loaded_done_) return;
    after_loaded_done_ = true;
    ++after_loaded_runs;
}

void register_stand_in_windows(Shell& s) {
    struct Window {
        const char* name;
        const char* caption;
        bool has_after_loaded;
    };
    const Window windows[] = {{"Quotes", "Stock Quotes", false},
                              {"News", "Stock News", true},
                              {"Chart", "Quorbelix Chart Tool", true},
                              {"Research", "Internet Research", false},
                              {"Report", "Create Reports", false}};
    for (const Window& w : windows) {
        const QString name = QString::fromLatin1(w.name), caption = QString::fromLatin1(w.caption);
        const bool after = w.has_after_loaded;
        s.register_window(name, [&s, name, caption, after]() -> QWidget* {
            return new StandInWindow(s.mdi(), name, caption, after);
        });
    }
}

} // namespace qb::test
