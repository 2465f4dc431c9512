#include "shell/stand_in_windows.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qb {

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

} // namespace qb
