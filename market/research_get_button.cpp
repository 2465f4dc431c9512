#include "market/research_get_button.h"

#include "core/codepage.h"
#include "core/core.h"
#include "market/research.h"
#include "platform/window_helpers.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qb {

GetButton::GetButton(QWidget* parent, Research& research) : QDialog(parent), research_(research) {
    setObjectName(QStringLiteral("GetButton"));
    setWindowTitle(QStringLiteral("Button Name "));
    setModal(true);
    const QFont arial(QStringLiteral("Arial"), 9);
    auto place = [](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
    };
    Label1 = new QLabel(QStringLiteral("Type the Name of the Button that will be pressed to launch your favorite web "
                                       "site (you will add the actual site URL later)."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    name_text = new QLineEdit(this);
    name_text->setObjectName(QStringLiteral("name_text"));
    SaveClose = new QPushButton(QStringLiteral("Save Changes"), this);
    SaveClose->setObjectName(QStringLiteral("SaveClose"));
    SaveClose->setDefault(true);
    Close = new QPushButton(QStringLiteral("Cancel"), this);
    Close->setObjectName(QStringLiteral("Close"));
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(name_text),
                       static_cast<QWidget*>(SaveClose), static_cast<QWidget*>(Close)})
        w->setFont(arial);
    place(Label1, 120, 120, 4455, 615);
    place(name_text, 120, 840, 4455, 315);
    place(SaveClose, 600, 1320, 1575, 375);
    place(Close, 2520, 1320, 1575, 375);
    setFixedSize(twips_to_px(4695), twips_to_px(1860));

    // Form_Load: the typing colour of the journal.
    QPalette p = name_text->palette();
    p.setColor(QPalette::Text, color_from_ole(core().textcolor_value));
    name_text->setPalette(p);
    name_text->installEventFilter(this);

    connect(SaveClose, &QPushButton::clicked, this, [this] { SaveClose_Click(); });
    connect(Close, &QPushButton::clicked, this, [this] { Close_Click(); });
}

void GetButton::set_button_name(const QString& name) { name_text->setText(name); }

void GetButton::SaveClose_Click() {
    const QString t = trim_blanks(name_text->text());
    if (t.isEmpty()) return;
    research_.new_button_name = t.left(kMaxCaption);
    research_.valid_button_typed = true;
    accept();
}

void GetButton::Close_Click() {
    research_.new_button_name.clear();
    research_.valid_button_typed = false;
    reject();
}

bool GetButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == name_text && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        QPalette p = name_text->palette();
        p.setColor(QPalette::Base, color_from_ole(event->type() == QEvent::FocusIn ? Research::kYellow : Research::kWhite));
        name_text->setPalette(p);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace qb
