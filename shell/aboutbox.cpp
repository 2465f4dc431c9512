#include "shell/aboutbox.h"

#include "core/core.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace qb {

Aboutbox::Aboutbox(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Aboutbox"));
    setWindowTitle(QStringLiteral("About Quorbelix"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    auto* grid = new QGridLayout(this);
    const char* const pictures[4] = {"logo", "checklist", "chart", "lightbulb"};
    for (int i = 0; i < 4; ++i) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        image->setPixmap(svg_picture(QString::fromLatin1(pictures[i]), QSize(48, 48)));
        grid->addWidget(image, 0, i, Qt::AlignCenter);
    }
    auto* name = new QLabel(QStringLiteral("Quorbelix"), this);
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(16);
    f.setBold(true);
    name->setFont(f);
    grid->addWidget(name, 1, 0, 1, 4, Qt::AlignCenter);
    version_label = new QLabel(this);
    version_label->setObjectName(QStringLiteral("version_label"));
    grid->addWidget(version_label, 2, 0, 1, 4, Qt::AlignCenter);
    Close = new QPushButton(QStringLiteral("Close"), this);
    Close->setObjectName(QStringLiteral("Close"));
    grid->addWidget(Close, 3, 1, 1, 2);
    connect(Close, &QPushButton::clicked, this, &Aboutbox::Close_Click);
}

void Aboutbox::form_load() {
    version_label->setText(QStringLiteral("Version: ") + core().program_version);
    adjustSize();
    place_over_frame(this);
}

void Aboutbox::Close_Click() {
    hide();
    shell().unload(QStringLiteral("Aboutbox"));
}

} // namespace qb
