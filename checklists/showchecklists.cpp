// The checklist list's rows: filling them from the table, the highlight, the keys and the
// scroll bar that names the highlighted checklist.
#include "checklists/showchecklists.h"

#include "checklists/checklists_internal.h"
#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <exception>

namespace qb {

using namespace checklists;

// ---- rows ----

int32_t ShowChecklists::row_index(int16_t row) const {
    bool ok = false;
    const int32_t k = Title_textbox[size_t(row)]->property("Tag").toString().trimmed().toInt(&ok);
    return ok ? k : -1;
}

void ShowChecklists::paint_row(int16_t row, uint32_t ole) {
    paint_background(Title_textbox[size_t(row)], ole);
    paint_background(Author_textbox[size_t(row)], ole);
}

void ShowChecklists::set_row_bold(int16_t row, bool bold) {
    for (QLineEdit* b : {Title_textbox[size_t(row)], Author_textbox[size_t(row)]}) {
        QFont f = b->font();
        if (f.bold() == bold) continue;
        f.setBold(bold);
        b->setFont(f);
    }
}

void ShowChecklists::fill_checklist_rows() {
    const FlagGuard guard(filling_);
    Core& c = core();
    const int32_t upper = c.maxChecklists_index();
    auto listed = [&c](int32_t k) { return c.Checklists[k].deleted == 0 && c.Checklists[k].Inuse == kTrue; };
    // The highlight can only stand on a listed checklist: free elements at the end of the
    // table (a new checklist not kept) would otherwise scroll every row out of view.
    int32_t last_listed = 0;
    for (int32_t k = 0; k <= upper; ++k)
        if (listed(k)) last_listed = k;
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setRange(0, last_listed);
    }
    first_shown_index = std::clamp(first_shown_index, 0, std::max(upper, 0));

    std::array<bool, kRows> filled{};
    try {
        int32_t k = first_shown_index;
        for (int16_t r = 0; r <= last_row_for_height; ++r) {
            while (k <= upper && !listed(k)) ++k;
            if (k > upper) break;
            const Checklist& list = c.Checklists[k];
            const auto i = size_t(r);
            const QString tag = QString::number(k);
            Title_textbox[i]->setProperty("Tag", tag);
            Author_textbox[i]->setProperty("Tag", tag);
            Title_textbox[i]->setText(trim_blanks(list.Name));
            Author_textbox[i]->setText(trim_blanks(list.Author));
            Title_textbox[i]->setCursorPosition(0);
            Author_textbox[i]->setCursorPosition(0);
            Check_to_display[i]->setChecked(list.ShowIt != 0);
            set_row_bold(r, list.ShowIt != 0);
            filled[i] = true;
            last_shown_index = k;
            last_shown_row = r;
            ++k;
        }
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Error updating Show Checklist screen. Error: ") +
                                      QString::fromLocal8Bit(e.what()));
    }
    for (int r = 0; r < kRows; ++r) {
        const auto i = size_t(r);
        if (!filled[i] && shown(Title_textbox[i])) paint_row(int16_t(r), kWhite);
        Title_textbox[i]->setVisible(filled[i]);
        Author_textbox[i]->setVisible(filled[i]);
        Check_to_display[i]->setVisible(filled[i]);
    }
}

// ---- highlight, keys and the scroll bar ----

bool ShowChecklists::eventFilter(QObject* watched, QEvent* event) {
    if (watched == WebPage && event->type() == QEvent::MouseButtonRelease) {
        WebPage_Click();
        return false;
    }
    auto* w = qobject_cast<QWidget*>(watched);
    const QVariant row = w ? w->property("qb_row") : QVariant();
    if (row.isValid() && row_event(int16_t(row.toInt()), w, event)) return true;
    return QWidget::eventFilter(watched, event);
}

bool ShowChecklists::row_event(int16_t row, QWidget* control, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A message box or menu taking the focus for a while is no move to another row.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (filling_ || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return false;
        if (event->type() == QEvent::FocusIn)
            row_got_focus(row);
        else
            paint_row(row, kWhite);
        return false;
    }
    case QEvent::KeyPress:
        // The row keys move the highlight; the boxes themselves do nothing with them.
        return key_code_of(static_cast<QKeyEvent*>(event)->key()) != 0;
    case QEvent::KeyRelease: {
        const auto* k = static_cast<QKeyEvent*>(event);
        const int code = key_code_of(k->key());
        if (code == 0) return false;
        handle_navigation_key(row, code, int(k->modifiers()));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (control == Title_textbox[size_t(row)] || control == Author_textbox[size_t(row)]) row_double_click(row);
        return false;
    default: return false;
    }
}

void ShowChecklists::row_got_focus(int16_t row) {
    Core& c = core();
    paint_row(row, kYellow);
    highlighted_index = row_index(row);
    if (highlighted_index >= 0 && highlighted_index <= c.maxChecklists_index()) {
        c.current_checklist = c.Checklists[highlighted_index];
        c.current_checklist_index = int16_t(highlighted_index);
    }
    c.checklist_highlighted = true;
    focused_row = row;
    if (highlighted_index >= 0 && highlighted_index <= VScroll1->maximum()) VScroll1->setValue(highlighted_index);
}

void ShowChecklists::row_double_click(int16_t row) {
    Core& c = core();
    const int32_t k = row_index(row);
    if (k >= 0 && k <= c.maxChecklists_index()) {
        c.current_checklist = c.Checklists[k];
        c.current_checklist_index = int16_t(k);
    }
    shell().command()->Edit_entry();
}

void ShowChecklists::handle_navigation_key(int16_t /*Index*/, int KeyCode, int /*Shift*/) {
    const int v = VScroll1->value();
    const int max = VScroll1->maximum();
    switch (KeyCode) {
    case 38:
        if (v >= 1) VScroll1->setValue(v - 1);
        break;
    case 40:
    case 13:
        if (v < max) VScroll1->setValue(v + 1);
        break;
    case 33: VScroll1->setValue(v - 3 < 0 ? 0 : v - 3); break;
    case 34: VScroll1->setValue(v + 3 > max ? max : v + 3); break;
    default: break;
    }
}

void ShowChecklists::VScroll1_Change() {
    if (!isVisible() || filling_) return;
    const int32_t v = VScroll1->value();
    if (v == highlighted_index) return;
    if (first_shown_index <= v && v <= last_shown_index) {
        const int next = focused_row + (v - highlighted_index);
        if (next >= 0 && next < kRows) {
            focused_row = int16_t(next);
        } else {
            focused_row = 0;
        }
        focus_if_visible(Title_textbox[size_t(focused_row)]);
        return;
    }
    if (v > last_shown_index) {
        const int32_t d = v - highlighted_index;
        if (d > 0) first_shown_index = std::min(first_shown_index + d, core().maxChecklists_index());
        fill_checklist_rows();
        focus_if_visible(Title_textbox[size_t(last_shown_row)]);
        focus_if_visible(Author_textbox[size_t(last_shown_row)]);
        return;
    }
    first_shown_index = v;
    fill_checklist_rows();
    focus_if_visible(Title_textbox[0]);
    focus_if_visible(Author_textbox[0]);
}

} // namespace qb
