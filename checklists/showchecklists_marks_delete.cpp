// The checklist list's Show-It boxes with the one-to-five rule, the delete command of the
// list and the editor, and the link to the web page of further checklists.
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

QString ShowChecklists::web_page_address() { return QStringLiteral("http://www.quorbelix.com/checklists.html?ref=qb"); }

// ---- the Show-It marks ----

void ShowChecklists::set_show_it(int32_t k, int16_t value) {
    Core& c = core();
    c.Checklists[k].ShowIt = value;
    // The highlighted checklist's copy follows, so an edit opened from it stores the mark.
    if (k == c.current_checklist_index && c.current_checklist.Inuse == kTrue) c.current_checklist.ShowIt = value;
}

void ShowChecklists::Check_to_display_Click(int16_t Index) {
    QCheckBox* box = Check_to_display[size_t(Index)];
    if (!shown(box) || filling_) return;
    Core& c = core();
    const int32_t k = row_index(Index);
    if (k < 0 || k > c.maxChecklists_index()) return;
    const int16_t value = box->isChecked() ? 1 : 0;
    if (value != c.Checklists[k].ShowIt) add_or_edit_ongoing = true;
    int marked = 0;
    for (const Checklist& list : std::as_const(c.Checklists))
        if (list.ShowIt > 0) ++marked;
    if (value == 1) {
        if (marked + 1 > kMaxMarked && c.Checklists[k].ShowIt == 0) {
            c.show_message(msg_warning, QStringLiteral("Only 5 CheckLists can be selected..Please uncheck one box and "
                                                       "re-check this box to select."));
            box->setChecked(false);
            set_show_it(k, 0);
        } else {
            set_show_it(k, 1);
            set_row_bold(Index, true);
        }
    } else {
        if (marked <= 1 && c.Checklists[k].ShowIt == 1) {
            c.show_message(msg_warning, QStringLiteral("At least one Checklist must be selected"));
            set_show_it(k, 1);
            box->setChecked(true);
        } else {
            set_show_it(k, 0);
            set_row_bold(Index, false);
        }
    }
}

// ---- delete and the link ----

void ShowChecklists::checklist_delete_allowed(bool& allowed) const {
    const Core& c = core();
    int listed = 0;
    int marked = 0;
    int32_t marked_index = -1;
    for (int32_t k = 0; k <= c.maxChecklists_index(); ++k) {
        const Checklist& list = c.Checklists[k];
        if (list.deleted == 0 && list.Inuse == kTrue) ++listed;
        if (list.ShowIt > 0) {
            ++marked;
            marked_index = k;
        }
    }
    allowed = !(listed < 2 || (marked == 1 && marked_index == c.current_checklist_index));
}

void ShowChecklists::verify_delete_and_save() {
    Core& c = core();
    Shell& s = shell();
    if (c.current_screen == screen_checklist_editor && c.current_checklist.Inuse == 0) {
        s.mdi()->handle_cancel();
        return;
    }
    if (c.current_screen == screen_checklists && !c.checklist_highlighted) {
        c.show_message(msg_warning, QStringLiteral("No Checklist to Delete. Please highlight the Checklist to Delete, "
                                                   "then press Delete again."));
        return;
    }
    bool allowed = false;
    checklist_delete_allowed(allowed);
    if (!allowed) {
        c.show_message(msg_warning, QStringLiteral("You Must have at least one checklist to display. Delete not allowed."));
        return;
    }
    const int32_t i = c.current_checklist_index;
    if (i < 0 || i > c.maxChecklists_index()) return;
    if (c.ask_user(kStyleStop, QStringLiteral("Are you sure you want to DELETE the ENTIRE ") +
                                   trim_blanks(c.Checklists[i].Name) + QStringLiteral(" Checklist?")) != kAnswerYes)
        return;
    c.current_checklist.deleted = kTrue;
    c.Checklists[i].deleted = kTrue;
    if (!c.save_checklist()) {
        // Reported by the file, which still holds the checklist: it stays, as it is stored.
        c.current_checklist.deleted = 0;
        c.Checklists[i].deleted = 0;
        return;
    }
    c.load_checklists();
    c.current_checklist = c.blank_checklist;
    c.current_checklist_index = 0;
    c.checklist_highlighted = false;
    s.command()->reset_all_and_show_checklists();
}

void ShowChecklists::WebPage_Click() { core().shell_open_url(web_page_address()); }

} // namespace qb
