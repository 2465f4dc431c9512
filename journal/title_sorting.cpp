#include "journal/title.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/sorting.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qb {
namespace {

bool is_reference(const SummaryEntry& e) { return e.web.present == kTrue || e.file.present == kTrue; }

} // namespace

void Title::set_button_color(QPushButton* button, uint32_t colour) {
    QPalette p = button->palette();
    p.setColor(QPalette::Button, color_from_ole(colour));
    button->setPalette(p);
}

void Title::reset_sort_button_colors() {
    for (QPushButton* b : {Command1, Date_comand, Security_Command, Transaction_Command, Price_Command, quote_command})
        set_button_color(b, kButtonRest);
}

void Title::set_sort_tooltips_view_only() {
    Command1->setToolTip(QStringLiteral("Press to View Data Only containing Highlighed Checklists / File / Web / Call Topic"));
    Date_comand->setToolTip(QStringLiteral("Press to View Data Only containing Highlighted Date"));
    Security_Command->setToolTip(QStringLiteral("Press to View Data Only containing Highlighted Security Name"));
    Transaction_Command->setToolTip(QStringLiteral("Press to View Data Only containing Highlighted Transaction"));
    Price_Command->setToolTip(QStringLiteral("Press to View Data Only containing Highlighted Price"));
}

void Title::set_sort_tooltips_view_all() {
    Command1->setToolTip(QStringLiteral("Press to View ALL Data Sorted by Checklists / File / Web / Call Topic"));
    Date_comand->setToolTip(QStringLiteral("Press to View ALL Data Sorted by Date"));
    Security_Command->setToolTip(QStringLiteral("Press to View ALL Data Sorted by Security Name"));
    Transaction_Command->setToolTip(QStringLiteral("Press to View ALL Data Sorted by Transaction"));
    Price_Command->setToolTip(QStringLiteral("Press to View ALL Data Sorted by Price"));
}

void Title::reset_to_original() {
    view_filter_mode = filter_all;
    set_sort_tooltips_view_only();
    reset_sort_button_colors();
    Program_Title->setText(QStringLiteral("All Summary Data: SORTED by Date Added"));
    if (summary_sorted) {
        core().sort_summary_data(sort_order_added);
        summary_sorted = false;
    }
}

void Title::column_button_click(int32_t key, QPushButton* button) {
    Core& c = core();
    c.sort_summary_data(key);
    summary_sorted = true;
    sortonCE = c.current_entry;
    current_start_entry_index = 0;
    view_filter_mode = view_filter_mode != filter_all ? filter_all : key + 1;

    const SummaryEntry& e = c.current_entry.entry;
    const bool checklist_button = key == sort_checklist || key == sort_topic;
    if (checklist_button) {
        update_Title_with_entries();
        setfocus_to_first_entry();
    }
    if (view_filter_mode == filter_all) {
        static const char* const kSorted[] = {"All Summary Data: SORTED by Date", "All Summary Data: SORTED by Security",
                                              "All Summary Data: SORTED by Transaction", "All Summary Data: SORTED by Price",
                                              "All Summary Data: SORTED by Checklists",
                                              "All Summary Data: SORTED by Web, File, Call Topic"};
        Program_Title->setText(QString::fromLatin1(kSorted[key]));
        set_sort_tooltips_view_only();
    } else {
        switch (key) {
        case sort_date:
            Program_Title->setText(QStringLiteral("View ONLY Date: '") + general_date_text(e.entry_date).trimmed() + u'\'');
            break;
        case sort_security: Program_Title->setText(QStringLiteral("View ONLY Security: '") + e.security + u'\''); break;
        case sort_transaction:
            Program_Title->setText(QStringLiteral("View ONLY Transaction: '") + trim_blanks(e.transaction) + u'\'');
            break;
        case sort_price:
            Program_Title->setText(QStringLiteral("View ONLY Price: '") + format_price_text(e.price) + u'\'');
            break;
        default:
            if (highlighted_row <= last_row_index) {
                const QString column = trim_blanks(Checklist_Entry_Display_text[size_t(highlighted_row)]->text());
                Program_Title->setText((key == sort_checklist ? QStringLiteral("View ONLY Checklist: '")
                                                              : QStringLiteral("View ONLY Web, File, Call Topic: '")) +
                                       column + u'\'');
            }
            break;
        }
        set_sort_tooltips_view_all();
    }
    reset_sort_button_colors();
    set_button_color(button, kButtonPressed);
    if (!checklist_button) {
        update_Title_with_entries();
        setfocus_to_first_entry();
    }
}

void Title::Command1_Click() {
    if (is_reference(core().current_entry.entry))
        sort_by_reference_topic();
    else
        column_button_click(sort_checklist, Command1);
}

void Title::sort_by_reference_topic() { column_button_click(sort_topic, Command1); }

QString Title::find_first_checklist_from_sortonCE() const { return first_checklist_name_lower(sortonCE.entry); }

bool Title::entry_passes_view_filter(int32_t index) const {
    if (view_filter_mode == filter_all) return true;
    const SummaryEntry& E = core().SummaryData[index];
    const SummaryEntry& R = sortonCE.entry;
    switch (view_filter_mode) {
    case filter_date: return E.entry_date == R.entry_date;
    case filter_security: return E.security.toLower() == R.security.toLower();
    case filter_transaction: return E.transaction.toLower() == R.transaction.toLower();
    case filter_price: return E.price == R.price;
    case filter_checklist:
        return first_checklist_name_lower(E) == find_first_checklist_from_sortonCE() && E.web.present != kTrue &&
               E.file.present != kTrue;
    case filter_topic: {
        bool pass = true;
        if (R.web.present == kTrue) {
            if (trim_blanks(E.web.reference_name) != trim_blanks(R.web.reference_name)) pass = false;
        } else if (R.file.present == kTrue) {
            if (file_name_from_path(E.file.path) != file_name_from_path(R.file.path)) pass = false;
        }
        if (R.web.present == 0 && E.web.present == kTrue) pass = false;
        if (R.file.present == 0 && E.file.present == kTrue) pass = false;
        if (E.web.present == 0 && E.file.present == 0) pass = false;
        return pass;
    }
    default: return true;
    }
}

} // namespace qb
