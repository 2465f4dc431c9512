#include "platform/autocomplete_lineedit.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace qb {

QString LineEditCompletionBox::text() const { return edit_->text(); }

void LineEditCompletionBox::set_text(const QString& text) { edit_->setText(text); }

int LineEditCompletionBox::sel_start() const {
    return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}

int LineEditCompletionBox::sel_length() const { return int(edit_->selectedText().size()); }

void LineEditCompletionBox::set_sel_start(int pos) {
    edit_->deselect();
    edit_->setCursorPosition(qBound(0, pos, int(edit_->text().size())));
}

void LineEditCompletionBox::set_sel_length(int length) {
    const int start = sel_start();
    const int n = qMin(length, int(edit_->text().size()) - start);
    if (n > 0) edit_->setSelection(start, n);
}

AutocompleteLineEdit::AutocompleteLineEdit(QLineEdit* edit) : QObject(edit), edit_(edit), box_(edit) {
    edit->installEventFilter(this);
    // An emptied box starts over, whoever emptied it.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) reset_completion();
    });
}

void AutocompleteLineEdit::reset_completion() {
    completion_started_ = false;
    completion_active_ = true;
}

int AutocompleteLineEdit::key_code(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Backspace) return kKeyBackspace;
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return -1;
    if (event.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return -1;
    // Control letters arrive as their control codes, whatever text the platform attaches.
    if ((event.modifiers() & Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event.text();
    if (text.size() != 1) return -1;
    return text.at(0).unicode();
}

bool AutocompleteLineEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        if (event->type() == QEvent::KeyPress) {
            const int code = key_code(*static_cast<QKeyEvent*>(event));
            if (code >= 0) autocomplete_textbox(box_, code, completion_started_, completion_active_);
        } else if (event->type() == QEvent::FocusOut && completion_started_) {
            completion_active_ = false;
        }
    }
    return false;  // the box always applies the key itself
}

} // namespace qb
