#pragma once
// Doubles of the checklist list and editor for the shell's own tests: they keep the
// screen contract, record what the shell asked of them, and hold just enough state
// (a name box, pending Show-It marks) for the guard and the toolbar to act on.
#include "core/core.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/stand_in_screens.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace qb::test {

class ChecklistListDouble : public StandInBase, public ChecklistListScreen {
public:
    explicit ChecklistListDouble(QWidget* parent)
        : StandInBase(parent, QStringLiteral("ShowChecklists"), QStringLiteral("Checklists")) {}
    QWidget* widget() override { return this; }
    void handle_resize() override { place_in_screen_area(); }
    void fill_display(int16_t) override { calls << QStringLiteral("set_showchecklist_display"); }
    void verify_delete_and_save() override {
        calls << QStringLiteral("verify_delete_and_save");
        Core& c = core();
        if (c.current_screen == screen_checklist_editor && c.current_checklist.Inuse == 0) shell().mdi()->handle_cancel();
    }
};

class ChecklistEditorDouble : public StandInBase, public Screen {
public:
    explicit ChecklistEditorDouble(QWidget* parent)
        : StandInBase(parent, QStringLiteral("AddChecklist"), QStringLiteral("Checklist Editor")) {
        name_text = new QLineEdit(this);
        name_text->setObjectName(QStringLiteral("name_text"));
        body->addWidget(name_text);
        body->addStretch();
        connect(name_text, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    }
    QWidget* widget() override { return this; }
    void save_data_and_continue(bool& continue_flag) override {
        calls << QStringLiteral("save_data_and_continue");
        Core& c = core();
        continue_flag = true;
        if (c.current_screen == screen_checklists) {
            ChecklistListScreen* list = shell().show_checklists();
            if (list && list->add_or_edit_ongoing && c.save_checklist()) list->add_or_edit_ongoing = false;
        } else if (c.current_screen == screen_checklist_editor) {
            ask_to_correct(add_or_edit_ongoing, continue_flag);
        }
    }
    void clear_add_or_edit_ongoing() override {
        calls << QStringLiteral("clear_add_or_edit_ongoing");
        add_or_edit_ongoing = false;
        if (ChecklistListScreen* list = shell().show_checklists()) list->add_or_edit_ongoing = false;
    }
    void handle_resize() override { place_in_screen_area(); }
    void fill_display(int16_t) override {
        calls << QStringLiteral("set_addchecklist_display");
        name_text->setText(core().current_checklist.Name.trimmed());
        add_or_edit_ongoing = false;
    }
    bool add_or_edit_ongoing = false;
    QLineEdit* name_text = nullptr;
};

inline void register_checklist_doubles(Shell& s) {
    s.register_window(QStringLiteral("ShowChecklists"), hidden_screen<ChecklistListDouble>(s));
    s.register_window(QStringLiteral("AddChecklist"), hidden_screen<ChecklistEditorDouble>(s));
}

} // namespace qb::test
