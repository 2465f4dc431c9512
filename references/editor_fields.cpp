#include "references/editor_fields.h"

#include "core/core.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <algorithm>

namespace qb {

QDate editor_today() {
    const Clock* clock = core().platform().clock;
    return clock ? clock->today() : QDate::currentDate();
}

QLabel* add_label(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(place);
    return l;
}

QFont heading_font(QFont base) {
    base.setPixelSize(16);
    base.setBold(true);
    return base;
}

QString crlf_text(const QPlainTextEdit* box) {
    QString t = box->toPlainText();
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}

void show_crlf_text(QPlainTextEdit* box, QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setPlainText(text);
}

bool entry_valid_or_ask(const std::function<void(QString&, bool&)>& validate, bool& continue_flag,
                        bool& add_or_edit_ongoing) {
    QString message;
    bool valid = true;
    validate(message, valid);
    if (valid) return true;
    const int answer = core().ask_user(kStyleStop, QStringLiteral("Entry not Valid. Data NOT Saved. ") + message +
                                                       QStringLiteral("\r\nWould you like to Correct this data?"));
    if (answer == kAnswerYes)
        continue_flag = false;
    else
        add_or_edit_ongoing = false;
    return false;
}

void FormMargins::load(QWidget* form, int design_width) {
    MDIMain* mdi = shell().mdi();
    form->setGeometry(twips_to_px(Command::kBarWidth), 0, twips_to_px(design_width), twips_to_px(mdi->child_form_height));
    height = mdi->MDI_height_original - px_to_twips(form->height());
    width = mdi->MDI_width_original - px_to_twips(form->width());
}

void FormMargins::fit(QWidget* form) const {
    MDIMain* mdi = shell().mdi();
    form->resize(twips_to_px(std::max(mdi->width_twips() - width, int(mdi->min_insideMDI_width))),
                 twips_to_px(std::max(mdi->height_twips() - height, int(mdi->min_insideMDI_heigth))));
}

void EditorFields::add(QWidget* box, QWidget* next) {
    fields_[box].next = next;
    box->installEventFilter(this);
    paint_background(box, kFieldWhite);
}

void EditorFields::set_next(QWidget* box, QWidget* next) { fields_[box].next = next; }

void EditorFields::on_lost_focus(QWidget* box, std::function<void()> handler) {
    fields_[box].lost_focus = std::move(handler);
}

bool EditorFields::eventFilter(QObject* watched, QEvent* event) {
    auto it = fields_.find(watched);
    if (it == fields_.end()) return false;
    auto* box = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A message box or menu taking the focus for a while is no move to another field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        const bool in = event->type() == QEvent::FocusIn;
        paint_background(box, in ? kFieldYellow : kFieldWhite);
        if (!in && it->lost_focus) it->lost_focus();
        return false;
    }
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && it->next) focus_if_visible(it->next);
        return false;
    }
    default: return false;
    }
}

} // namespace qb
