#pragma once
// The screen model: which screen is visible, the command-bar buttons that open them,
// and the contract every screen window offers the shell.
#include <QString>
#include <cstdint>

class QWidget;

namespace qb {

// The code held in Core::current_screen.
enum screen : int32_t {
    screen_summary = 0,
    screen_new_transaction = 1,
    screen_edit_transaction = 2,
    screen_new_web_page = 3,
    screen_edit_web_page = 4,
    // 5 is never stored.
    screen_stock_of_month = 6,
    screen_checklists = 7,
    screen_checklist_editor = 8,
    screen_new_file_reference = 9,
    screen_edit_file_reference = 10,
    screen_new_call_notes = 11,
    screen_edit_call_notes = 12,
};

// The index of a command-bar button; 0..10 are also tip contexts 0..10.
enum command_button : int16_t {
    button_summary = 0,
    button_details = 1,
    button_stock_of_month = 2,
    button_checklists = 3,
    button_new_checklist = 4,
    button_buy = 5,
    button_sell = 6,
    button_other_transaction = 7,
    button_web_page = 8,
    button_file_reference = 9,
    button_call_notes = 10,
};
constexpr int kCommandButtons = 11;

// What the shell asks of every screen window. Screens that hold no editable data keep
// the defaults: they may always be left and have nothing to forget.
class Screen {
public:
    virtual ~Screen() = default;
    virtual QWidget* widget() = 0;
    // continue_flag is true when the screen may be left: nothing unsaved, or it was
    // saved, or the user chose to drop it; false keeps the screen as it is.
    virtual void save_data_and_continue(bool& continue_flag) { continue_flag = true; }
    // Forgets unsaved changes so the next guard lets the screen go without asking.
    virtual void clear_add_or_edit_ongoing() {}
    // Lays the screen out for the main window's current size.
    virtual void handle_resize() = 0;
    // Repaints the entry text in Core::textcolor_value.
    virtual void update_foreground_color() {}
    // The fill routine: shows the shared state in the screen. mode is 0 for a new item and
    // 1 for an existing one; the transaction editor takes the kind of a new transaction
    // (1 buy, 2 sell, 0 other) for a new item and 1 with Core::current_entry in edit mode.
    virtual void fill_display(int16_t mode) = 0;
};

// The entry list's part of the contract.
class EntryListScreen : public Screen {
public:
    virtual void reset_to_original() = 0;
    virtual void update_title_with_last_entries() = 0;
    virtual void update_Title_with_entries() = 0;
    virtual void last_known_focus() = 0;
    virtual void setfocus_to_last_entry() = 0;
    // Opens Core::current_entry in the editor of its kind and stores that screen code.
    virtual void show_addentry_or_savewebpage() = 0;
    virtual void do_page_up() = 0;
    virtual void do_page_down() = 0;
    virtual void verify_entry_delete_and_save() = 0;
    void fill_display(int16_t) override { update_Title_with_entries(); }
};

// The transaction editor's part of the contract.
class TransactionEditorScreen : public Screen {
public:
    // Fills the new entry's checklist blocks from the checklists that score new entries.
    virtual void init_checklists() = 0;
    // Rebuilds the type list after the user's own types changed.
    virtual void update_transaction_types() = 0;
};

// The checklist list's part of the contract.
class ChecklistListScreen : public Screen {
public:
    virtual void verify_delete_and_save() = 0;
    // True while Show-It changes are not yet written to the checklist file.
    bool add_or_edit_ongoing = false;
};

// The stock-idea viewer's part of the contract.
class StockIdeaScreen : public Screen {
public:
    virtual void show_stock_of_month() = 0;
    void fill_display(int16_t) override { show_stock_of_month(); }
};

// The web page editor's part: the news reader hands it an article for a new entry.
class WebPageEditorScreen : public Screen {
public:
    // Fills the new entry from the article; title receives the final reference name.
    virtual void got_data_from_news(QString& name, QString& symbol, QString& price, QString& address,
                                    QString& title) = 0;
    // False while a page is being captured: the news reader then hands nothing over.
    virtual bool new_save_allowed() { return true; }
};

// The news reader's side of that hand-off: asked by the web page editor when it starts a
// new entry, it hands over a pending article (if any) through got_data_from_news.
class NewsHandOff {
public:
    virtual ~NewsHandOff() = default;
    virtual void send_data_to_savewebpage() = 0;
};

// An auxiliary window with work to do once it is first shown (news, chart).
class AfterLoadedWindow {
public:
    virtual ~AfterLoadedWindow() = default;
    virtual void after_loaded_do() = 0;
};

} // namespace qb
