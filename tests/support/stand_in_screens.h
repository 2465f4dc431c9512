#pragma once
// Doubles of the entry list, the transaction editor and the stock-idea screen for the
// shell's own tests: each keeps the screen contract with the shell, shows its caption and
// records what the shell asked of it.
#include "shell/mdimain.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QVBoxLayout;

namespace qb::test {

// A factory of a double of type T: a hidden screen in the main window's client area.
template <typename T> Shell::Factory hidden_screen(Shell& shell) {
    return [&shell]() -> QWidget* {
        QWidget* w = new T(shell.mdi()->client_area());
        w->hide();
        return w;
    };
}

class StandInBase : public QWidget {
    Q_OBJECT
public:
    StandInBase(QWidget* parent, const QString& name, const QString& caption);
    // The contract calls in the order they came, as "name(argument)".
    QStringList calls;

protected:
    void changeEvent(QEvent* event) override;
    void place_in_screen_area();
    // The typed-data guard of an editor that cannot save yet: unsaved changes bring the
    // invalid-entry question; Yes stays on the screen, No leaves and drops them.
    static void ask_to_correct(bool& modified, bool& continue_flag);
    void paint_text(QWidget* box);

    QLabel* caption_label = nullptr;
    QVBoxLayout* body = nullptr;
};

class StandInTitle : public StandInBase, public EntryListScreen {
    Q_OBJECT
public:
    explicit StandInTitle(QWidget* parent);
    QWidget* widget() override { return this; }
    void handle_resize() override;
    void update_foreground_color() override;
    void reset_to_original() override;
    void update_title_with_last_entries() override;
    void update_Title_with_entries() override;
    void last_known_focus() override;
    void setfocus_to_last_entry() override;
    void show_addentry_or_savewebpage() override;
    void do_page_up() override;
    void do_page_down() override;
    void verify_entry_delete_and_save() override;

private:
    void fill_rows();
    QListWidget* rows_ = nullptr;
    QList<int32_t> row_entries_;
};

class StandInAddEntry : public StandInBase, public TransactionEditorScreen {
    Q_OBJECT
public:
    explicit StandInAddEntry(QWidget* parent);
    QWidget* widget() override { return this; }
    void save_data_and_continue(bool& continue_flag) override;
    void clear_add_or_edit_ongoing() override;
    void handle_resize() override;
    void update_foreground_color() override;
    void fill_display(int16_t kind) override;
    void init_checklists() override;
    void update_transaction_types() override;
    bool add_or_edit_ongoing = false;

private:
    QLineEdit* security_name_textbox = nullptr;
};

class StandInViewweb : public StandInBase, public StockIdeaScreen {
    Q_OBJECT
public:
    explicit StandInViewweb(QWidget* parent);
    QWidget* widget() override { return this; }
    void handle_resize() override;
    void show_stock_of_month() override;
};

// Registers the doubles under the screens' names.
void register_stand_in_screens(Shell& shell);

} // namespace qb::test
