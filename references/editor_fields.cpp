#include "references/editor_fields.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace qb {

void paint_field_background(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, color_from_ole(ole));
    w->setPalette(p);
}

void paint_field_text(QWidget* w, uint32_t ole) {
    QPalette p = w->palette();
    p.setColor(QPalette::Text, color_from_ole(ole));
    w->setPalette(p);
}

void focus_if_visible(QWidget* w) {
    if (w && w->isVisible()) w->setFocus(Qt::OtherFocusReason);
}

void EditorFields::add(QWidget* box, QWidget* next) {
    fields_[box].next = next;
    box->installEventFilter(this);
    paint_field_background(box, kFieldWhite);
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
        paint_field_background(box, in ? kFieldYellow : kFieldWhite);
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
