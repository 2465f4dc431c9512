#include "journal/title.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/market_fetch.h"
#include "core/text_helpers.h"
#include "shell/shell.h"

#include <QGuiApplication>
#include <QLineEdit>

namespace qb {

void Title::verify_entry_delete_and_save() {
    Core& c = core();
    const int code = c.current_screen;
    const bool on_list = code == screen_summary && c.entry_highlighted;
    const bool on_editor = code == screen_edit_transaction || code == screen_edit_web_page ||
                           code == screen_edit_file_reference || code == screen_edit_call_notes;
    if (!on_list && !on_editor) return;
    if (c.ask_user(kStyleStop, QStringLiteral("Are you sure you want to DELETE this item?")) != kAnswerYes) return;

    // The table may have been re-sorted since the entry was made current: delete only
    // the stored entry the user saw, never whatever now sits at its old index.
    const int32_t index = c.current_entry.index;
    if (index < 0 || index > c.maxSummarydata_index() || c.SummaryData[index].file_idx != c.current_entry.entry.file_idx ||
        c.current_entry.entry.file_idx == 0) {
        c.show_message(msg_warning, QStringLiteral("The highlighted entry is no longer where it was shown. Nothing was "
                                                   "deleted. Please highlight the entry again, then press Delete."));
        return;
    }
    c.load_entry(index);
    c.current_entry.entry.deleted = kTrue;
    c.save_entry();
    c.entry_highlighted = false;

    const char* editor = nullptr;
    switch (code) {
    case screen_edit_transaction: editor = "AddEntry"; break;
    case screen_edit_web_page: editor = "SaveWebPage"; break;
    case screen_edit_file_reference: editor = "SaveFileReference"; break;
    case screen_edit_call_notes: editor = "SaveCallNotes"; break;
    default: break;
    }
    if (editor)
        if (Screen* s = shell().screen(QString::fromLatin1(editor))) s->widget()->hide();

    update_Title_with_entries();
    show();
    raise();
    c.current_screen = screen_summary;
    QLineEdit* first = delete_focus_toggle ? Security_Entry_Display_text[0] : Date_Entry_Display_text[0];
    focus_box(first);
    delete_focus_toggle = !delete_focus_toggle;
}

void Title::undo_all_entry_delete() {
    Core& c = core();
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) {
        const SummaryEntry& e = c.SummaryData[i];
        if (e.Inuse != kTrue || e.deleted != kTrue) continue;
        c.load_entry(i);
        c.current_entry.entry.deleted = 0;
        c.save_entry();
    }
    c.entry_highlighted = false;
    update_Title_with_entries();
}

QString Title::get_one_quote(const QString& symbols) const { return qb::get_one_quote(symbols); }

QString Title::get_stock_news(const QString& symbol) const { return qb::get_stock_news(symbol); }

QString Title::get_hist_quote(const QString& symbol, const QDate& first_date, const QDate& second_date) const {
    return qb::get_hist_quote(symbol, first_date, second_date);
}

void Title::quote_command_Click() {
    // The fetch runs a local event loop, so a second press can arrive while it waits.
    if (quote_fetch_running) return;
    quote_fetch_running = true;
    const QString symbols = build_symbol_list();
    if (!symbols.isEmpty()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const QString reply = qb::get_one_quote(symbols);
        QGuiApplication::restoreOverrideCursor();
        if (reply.isEmpty()) {
            core().show_message(msg_information,
                                QStringLiteral("Unable to Get Quotes. Please make sure you are connected to the Internet."));
        } else {
            apply_quotes_to_all_entries(reply);
            if (isVisible()) update_Title_with_entries();
        }
    }
    quote_fetch_running = false;
    last_known_focus();
}

QString Title::build_symbol_list() {
    const Core& c = core();
    QString list;
    for (int16_t r = 0; r < kRows; ++r) {
        if (!Date_Entry_Display_text[size_t(r)]->isVisible() || !screen_index[size_t(r)].in_use) continue;
        const int32_t index = screen_index[size_t(r)].summary_index;
        if (index < 0 || index > c.maxSummarydata_index()) continue;
        const QString symbol = trim_blanks(c.SummaryData[index].symbol);
        if (symbol.isEmpty()) continue;
        const QString item = symbol + u',';
        if (list.contains(u',' + item, Qt::CaseInsensitive) || list.startsWith(item, Qt::CaseInsensitive)) continue;
        list += item;
    }
    list.chop(1);
    return list;
}

void Title::apply_quotes_to_all_entries(const QString& reply) {
    Core& c = core();
    for (SummaryEntry& e : c.SummaryData) {
        if (e.Inuse != kTrue || e.symbol.isEmpty()) continue;
        QString price, change;
        e.quote = parse_quote_csv(trim_blanks(e.symbol), reply, price, change) ? price : QString();
    }
}

} // namespace qb
