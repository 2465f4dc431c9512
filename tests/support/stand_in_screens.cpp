#include "support/stand_in_screens.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace qb::test {

StandInBase::StandInBase(QWidget* parent, const QString& name, const QString& caption) : QWidget(parent) {
    setObjectName(name);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    body = new QVBoxLayout(this);
    caption_label = new QLabel(caption, this);
    caption_label->setObjectName(QStringLiteral("caption_label"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(14);
    f.setBold(true);
    caption_label->setFont(f);
    body->addWidget(caption_label);
    setWindowTitle(caption);
}

void StandInBase::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange && caption_label) caption_label->setText(windowTitle());
    QWidget::changeEvent(event);
}

void StandInBase::place_in_screen_area() {
    if (Shell* s = Shell::current(); s && s->is_form_loaded(QStringLiteral("MDIMain"))) setGeometry(s->mdi()->screen_area());
}

void StandInBase::ask_to_correct(bool& modified, bool& continue_flag) {
    continue_flag = true;
    if (!modified) return;
    const int answer = core().ask_user(
        kStyleStop, QStringLiteral("Entry not Valid. Data NOT Saved. \r\nWould you like to Correct this data?"));
    if (answer == kAnswerYes) {
        continue_flag = false;
        return;
    }
    modified = false;
}

void StandInBase::paint_text(QWidget* box) {
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, color_from_ole(core().textcolor_value));
    box->setPalette(pal);
}

// ---- entry list ----

StandInTitle::StandInTitle(QWidget* parent)
    : StandInBase(parent, QStringLiteral("Title"), QStringLiteral("All Summary Data: SORTED by Date Added")) {
    rows_ = new QListWidget(this);
    rows_->setObjectName(QStringLiteral("entry_rows"));
    body->addWidget(rows_);
    connect(rows_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= row_entries_.size()) return;
        Core& c = core();
        // The highlighted row's entry is the current one, so Edit, Delete and the pop-up act on it.
        c.current_entry.index = row_entries_[row];
        c.current_entry.entry = c.SummaryData.value(row_entries_[row]);
        c.current_entry.mode = mode_edit;
        c.entry_highlighted = true;
    });
    connect(rows_, &QListWidget::itemDoubleClicked, this, [] { shell().command()->Edit_entry(); });
    update_foreground_color();
}

void StandInTitle::fill_rows() {
    const Core& c = core();
    QSignalBlocker block(rows_);
    rows_->clear();
    row_entries_.clear();
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) {
        const SummaryEntry& e = c.SummaryData[i];
        if (!e.is_live()) continue;
        rows_->addItem(date_from_ole(e.entry_date).toString(QStringLiteral("MM/dd/yyyy")) + QStringLiteral("   ") +
                       trim_blanks(e.security) + QStringLiteral("   ") + trim_blanks(e.transaction));
        row_entries_.append(i);
    }
}

void StandInTitle::handle_resize() {
    calls << QStringLiteral("handle_resize");
    place_in_screen_area();
}
void StandInTitle::update_foreground_color() { paint_text(rows_); }
void StandInTitle::reset_to_original() {
    calls << QStringLiteral("reset_to_original");
    setWindowTitle(QStringLiteral("All Summary Data: SORTED by Date Added"));
}
void StandInTitle::update_title_with_last_entries() {
    calls << QStringLiteral("update_title_with_last_entries");
    fill_rows();
}
void StandInTitle::update_Title_with_entries() {
    calls << QStringLiteral("update_Title_with_entries");
    fill_rows();
}
void StandInTitle::last_known_focus() {
    calls << QStringLiteral("last_known_focus");
    if (rows_->isVisible()) rows_->setFocus();
}
void StandInTitle::setfocus_to_last_entry() {
    calls << QStringLiteral("setfocus_to_last_entry");
    if (rows_->count() > 0) rows_->setCurrentRow(rows_->count() - 1);
}
void StandInTitle::do_page_up() { calls << QStringLiteral("do_page_up"); }
void StandInTitle::do_page_down() { calls << QStringLiteral("do_page_down"); }
void StandInTitle::verify_entry_delete_and_save() { calls << QStringLiteral("verify_entry_delete_and_save"); }

void StandInTitle::show_addentry_or_savewebpage() {
    calls << QStringLiteral("show_addentry_or_savewebpage");
    if (isVisible()) hide();
    open_entry_in_its_editor();
}

// ---- transaction editor ----

StandInAddEntry::StandInAddEntry(QWidget* parent)
    : StandInBase(parent, QStringLiteral("AddEntry"), QStringLiteral("Add New Transaction")) {
    security_name_textbox = new QLineEdit(this);
    security_name_textbox->setObjectName(QStringLiteral("security_name_textbox"));
    body->addWidget(security_name_textbox);
    body->addStretch();
    connect(security_name_textbox, &QLineEdit::textChanged, this, [this] { add_or_edit_ongoing = true; });
    update_foreground_color();
}

void StandInAddEntry::save_data_and_continue(bool& continue_flag) {
    calls << QStringLiteral("save_data_and_continue");
    ask_to_correct(add_or_edit_ongoing, continue_flag);
}
void StandInAddEntry::clear_add_or_edit_ongoing() {
    calls << QStringLiteral("clear_add_or_edit_ongoing");
    add_or_edit_ongoing = false;
}
void StandInAddEntry::handle_resize() { place_in_screen_area(); }
void StandInAddEntry::update_foreground_color() { paint_text(security_name_textbox); }
void StandInAddEntry::fill_display(int16_t kind) {
    calls << QStringLiteral("set_current_AddEntry_display(%1)").arg(kind);
    security_name_textbox->setText(trim_blanks(core().current_entry.entry.security));
    add_or_edit_ongoing = false;
}
void StandInAddEntry::init_checklists() { calls << QStringLiteral("init_checklists"); }
void StandInAddEntry::update_transaction_types() { calls << QStringLiteral("update_transaction_types"); }

// ---- stock-idea viewer ----

StandInViewweb::StandInViewweb(QWidget* parent)
    : StandInBase(parent, QStringLiteral("viewweb"), QStringLiteral("Stock of the Month")) {
    body->addStretch();
}

void StandInViewweb::handle_resize() { place_in_screen_area(); }
void StandInViewweb::show_stock_of_month() { calls << QStringLiteral("show_stock_of_month"); }

void register_stand_in_screens(Shell& s) {
    s.register_window(QStringLiteral("Title"), hidden_screen<StandInTitle>(s));
    s.register_window(QStringLiteral("AddEntry"), hidden_screen<StandInAddEntry>(s));
    s.register_window(QStringLiteral("viewweb"), hidden_screen<StandInViewweb>(s));
}

} // namespace qb::test
