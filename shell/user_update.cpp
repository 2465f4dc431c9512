#include "shell/user_update.h"

#include "core/core.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QLabel>

namespace qb {

UserUpdate::UserUpdate(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("UserUpdate"));
    setWindowTitle(QStringLiteral("Quorbelix Progress"));
    setFixedSize(twips_to_px(5400), twips_to_px(1500));
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(svg_picture(QStringLiteral("hourglass"), QSize(48, 48)));
    Picture1->setGeometry(twips_to_px(240), twips_to_px(240), 48, 48);
    Picture2 = new QLabel(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setPixmap(svg_picture(QStringLiteral("globe"), QSize(48, 48)));
    Picture2->setGeometry(twips_to_px(240), twips_to_px(240), 48, 48);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(twips_to_px(1320), twips_to_px(240), twips_to_px(3840), twips_to_px(1000));
    // Set before the first show: on a shown window the flag would hide it again.
    set_window_topmost(this);
}

void UserUpdate::form_load() {
    Label1->setText(QStringLiteral("Please Wait..."));
    Picture2->hide();
    Picture2->move(Picture1->x() + twips_to_px(50), Picture1->y() + twips_to_px(50));
}

void UserUpdate::set_message(const QString& text, int16_t kind) {
    // A note that comes up stands over the program; one already up stays where it is.
    if (!isVisible()) place_over_frame(this);
    show();
    Picture1->setVisible(kind != wait_internet);
    Picture2->setVisible(kind == wait_internet);
    Label1->setText(text);
    set_window_topmost(this);
}

void install_wait_window_hooks(CoreHooks& hooks) {
    hooks.user_update_set_message = [](const QString& text, int16_t kind) { shell().user_update()->set_message(text, kind); };
    hooks.user_update_hide = [] {
        if (QWidget* w = shell().loaded_window(QStringLiteral("UserUpdate"))) w->hide();
    };
}

void remove_wait_window_hooks(CoreHooks& hooks) {
    hooks.user_update_set_message = nullptr;
    hooks.user_update_hide = nullptr;
}

} // namespace qb
