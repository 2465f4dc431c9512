// Back, forward, cancel, up and down: moving between screens and items without the bar.
#include "core/core.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

// Presses the command-bar button that returns to a screen code; a new item is never
// reopened, so its code returns to the entry list.
void MDIMain::press_button_for_screen(int code) {
    int16_t button = -1;
    switch (code) {
    case screen_summary:
    case screen_new_transaction:
    case screen_new_web_page:
    case screen_new_file_reference:
    case screen_new_call_notes: button = button_summary; break;
    case screen_edit_transaction:
    case screen_edit_web_page:
    case screen_edit_file_reference:
    case screen_edit_call_notes: button = button_details; break;
    case screen_stock_of_month: button = button_stock_of_month; break;
    case screen_checklists: button = button_checklists; break;
    case screen_checklist_editor: button = button_new_checklist; break;
    default: return;
    }
    shell().command()->Image_action_Click(button);
}

void MDIMain::go_back_screen() {
    Core& c = core();
    const int cs = c.current_screen;
    if (!c.back_available) {
        if (cs == screen_summary) return;
        c.back_available = true;
        c.back_screen = screen_summary;
    }
    c.forward_available = true;
    c.forward_screen = cs;
    const int target = c.back_screen;
    press_button_for_screen(target);
    if (target == screen_checklists && cs == screen_checklist_editor) {
        c.forward_available = false;
        c.back_available = false;
        return;
    }
    c.forward_available = true;
    c.forward_screen = cs;
    c.back_available = false;
}

void MDIMain::go_forward_screen() {
    Core& c = core();
    const int cs = c.current_screen;
    if (!c.forward_available) return;
    const int target = c.forward_screen;
    if (target == screen_new_transaction || target == screen_new_web_page || target == screen_new_file_reference ||
        target == screen_new_call_notes)
        return;
    press_button_for_screen(target);
    c.back_available = true;
    c.back_screen = cs;
    c.forward_available = false;
}

void MDIMain::handle_cancel() {
    Core& c = core();
    Shell& s = shell();
    const char* editor = nullptr;
    switch (c.current_screen) {
    case screen_new_transaction:
    case screen_edit_transaction: editor = "AddEntry"; break;
    case screen_new_web_page:
    case screen_edit_web_page: editor = "SaveWebPage"; break;
    case screen_new_file_reference:
    case screen_edit_file_reference: editor = "SaveFileReference"; break;
    case screen_new_call_notes:
    case screen_edit_call_notes: editor = "SaveCallNotes"; break;
    case screen_checklist_editor:
        if (QWidget* w = s.window(QStringLiteral("AddChecklist"))) w->hide();
        c.current_checklist = c.blank_checklist;
        s.command()->reset_all_and_show_checklists();
        return;
    default: return;
    }
    if (QWidget* w = s.window(QString::fromLatin1(editor))) w->hide();
    s.command()->reset_all_and_show_entries();
}

void MDIMain::move_up_one_item() { step_to_neighbour(true); }
void MDIMain::move_down_one_item() { step_to_neighbour(false); }

void MDIMain::step_to_neighbour(bool up) {
    Core& c = core();
    Shell& s = shell();
    const char* editor = nullptr;
    switch (c.current_screen) {
    case screen_summary:
        if (EntryListScreen* title = s.title()) up ? title->do_page_up() : title->do_page_down();
        return;
    case screen_edit_transaction: editor = "AddEntry"; break;
    case screen_edit_web_page: editor = "SaveWebPage"; break;
    case screen_edit_file_reference: editor = "SaveFileReference"; break;
    case screen_edit_call_notes: editor = "SaveCallNotes"; break;
    default: return;
    }
    bool allowed = true;
    s.command()->screen_change_allowed(allowed);
    if (!allowed) return;
    if (QWidget* w = s.window(QString::fromLatin1(editor))) w->hide();
    const int32_t left = c.current_entry.index;
    up ? c.goto_previous_entry() : c.goto_next_entry();
    // With no neighbour the same entry opens again, as stored.
    if (c.current_entry.index == left) c.load_entry(left);
    if (EntryListScreen* title = s.title()) title->show_addentry_or_savewebpage();
}

} // namespace qb
