// The report's text: the filter over the entries table, the header, one block per entry
// and the word wrap of long texts.
#include "reports/report.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"
#include "core/text_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace qb {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString answer_words(int16_t answer) {
    switch (answer) {
    case answer_yes: return QStringLiteral("Agreed/Completed");
    case answer_no: return QStringLiteral("Not Agreed/Completed");
    case answer_unsure: return QStringLiteral("Unsure if Agreed/Completed");
    default: return QString();
    }
}

} // namespace

QString Report::wrap_text_at_width(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / kWrapWidth * 2 + 2);
    QString word;
    int column = 0;
    for (const QChar ch : text) {
        if (ch == u'\r') {
            out += word;
            out += ch;
            column = 0;
            word.clear();
            continue;
        }
        if (ch == u' ') {
            if (column + word.size() > kWrapWidth) {
                out += kCrLf;
                out += word;
                out += ch;
                column = int(word.size()) + 1;
            } else {
                out += word;
                out += ch;
                column += int(word.size()) + 1;
            }
            word.clear();
        } else {
            word += ch;
        }
        if (word.size() >= kWrapWidth) {
            out += word;
            out += kCrLf;
            word.clear();
            column = 0;
        }
    }
    out += word;
    return out;
}

QString Report::report_header() const {
    Core& c = core();
    const QDate today = c.platform().clock ? c.platform().clock->today() : QDate::currentDate();
    QString dates = QStringLiteral("All Dates");
    if (!all_dates_checkbox->isChecked())
        dates = short_date_text(parse_date_text(trim_blanks(start_textbox->text()))) + QStringLiteral(" to ") +
                short_date_text(parse_date_text(trim_blanks(end_textbox->text())));
    const QString securities =
        all_securities_checkbox->isChecked() ? QStringLiteral("All Securities") : trim_blanks(name_textbox->text());
    const QString transactions =
        all_trans_checkbox->isChecked() ? QStringLiteral("All Transactions") : trim_blanks(trans_combo->currentText());
    const QString data_line = QStringLiteral("DATA FROM: ") + dates + QStringLiteral(" for ") + securities +
                              QStringLiteral(" and ") + transactions;
    return QStringLiteral("REPORT DATE: ") + short_date_text(today) + kCrLf + data_line + kCrLf +
           QString(data_line.size(), u'=') + kCrLf + kCrLf;
}

QString Report::format_entry_for_report(int32_t index) {
    Core& c = core();
    // The entry on screen stays as it is, whatever happens here.
    const CurrentEntry saved = c.current_entry;
    const int16_t saved_block = c.Currententry_checklist_index;
    const bool read = c.load_entry(index);
    const SummaryEntry& e = c.current_entry.entry;
    if (!read || e.other.text_unreadable) ++unreadable_entries_;
    ++match_count;

    QString s;
    auto line = [&s](const QString& text) { s += text + kCrLf; };
    line(QStringLiteral("<<<<< Match #") + QString::number(match_count) + QStringLiteral(" >>>>>"));
    line(QStringLiteral("Date: ") + general_date_text(e.entry_date).trimmed());
    line(QStringLiteral("Security: ") + trim_blanks(e.security));
    line(QStringLiteral("Price: ") + format_price_text(e.price));
    const QString transaction = trim_blanks(e.transaction);
    line(QStringLiteral("Transaction: ") + transaction);
    if (e.web.present == kTrue)
        line((transaction == u"Call Notes" ? QStringLiteral("Conference Call Topic: ") : QStringLiteral("Web Reference: ")) +
             trim_blanks(e.web.reference_name));
    if (e.file.present == kTrue) line(QStringLiteral("File Reference: ") + trim_blanks(e.file.path));
    if (e.other.present == kTrue) {
        line(QString());
        line(QStringLiteral("Additional Details: "));
        line(QStringLiteral("-------------------"));
        line(wrap_text_at_width(e.other.text));
        line(QString());
    }
    if (e.web.present != kTrue && e.file.present != kTrue) {
        line(QStringLiteral("Available Checklists:"));
        line(QStringLiteral("---------------------"));
        for (const EntryChecklist& b : e.checklist)
            if (b.Inuse) line(trim_blanks(b.name) + (b.completed ? QStringLiteral(" (Completed)") : QString()));
        line(QString());
        for (const EntryChecklist& b : e.checklist) {
            if (!b.Inuse || !b.completed) continue;
            const QString heading = QStringLiteral("Checklist: ") + trim_blanks(b.name);
            line(heading);
            line(QString(heading.size(), u'-'));
            const int last = std::min<int>(b.last_item_index, kItemsPerChecklist - 1);
            for (int j = 0; j <= last; ++j) {
                const EntryChecklistItem& item = b.Item.at(j);
                line(wrap_text_at_width(QString::number(j + 1) + QStringLiteral(". ") + item.text));
                line(QString());
                line(wrap_text_at_width(QStringLiteral(" MY CHECKMARK: ") + answer_words(item.answer)));
                line(wrap_text_at_width(QStringLiteral(" MY COMMENTS: ") + item.comment));
                line(QString());
            }
        }
    }
    c.current_entry = saved;
    c.Currententry_checklist_index = saved_block;
    return s;
}

void Report::generate_report(const QString& file_name) {
    Core& c = core();
    const bool all_dates = all_dates_checkbox->isChecked();
    const bool all_securities = all_securities_checkbox->isChecked();
    const bool all_trans = all_trans_checkbox->isChecked();
    // The end date counts as a whole day: entries with a time of day on it are in.
    const double start = ole_from_date(parse_date_text(trim_blanks(start_textbox->text())));
    const double end_excl = ole_from_date(parse_date_text(trim_blanks(end_textbox->text())).addDays(1));
    const QString security = trim_blanks(name_textbox->text()).toLower();
    const QString transaction = trim_blanks(trans_combo->currentText()).toLower();

    unreadable_entries_ = 0;
    QString text;
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) {
        const SummaryEntry& e = c.SummaryData[i];
        if (!e.is_live()) continue;
        if (!all_dates && !(e.entry_date >= start && e.entry_date < end_excl)) continue;
        if (!all_securities && trim_blanks(e.security).toLower() != security) continue;
        if (!all_trans && trim_blanks(e.transaction).toLower() != transaction) continue;
        // Every block after the first was once a write of its own, closed by a line end.
        if (text.isEmpty()) text = report_header();
        else text += QStringLiteral("\r\n");
        text += format_entry_for_report(i);
    }
    if (text.isEmpty()) {
        c.show_message(msg_warning, QStringLiteral("No matching data found. No report generated."));
        return;
    }
    // One whole-file write: a failure leaves any older report in place, not half a new one.
    if (!c.write_text_file(file_name, text, false)) {
        c.show_message(msg_error, QStringLiteral("Report incomplete: nothing was saved to ") + file_name);
        return;
    }
    const int unreadable = unreadable_entries_;
    Close_Click();
    if (unreadable > 0)
        c.show_message(msg_warning, QStringLiteral("Report incomplete: the texts of %1 entries could not be read.")
                                        .arg(unreadable));
    if (c.ask_user(kStyleInformation,
                   QStringLiteral("Report Created and Saved to file. Would you like to View this Report?")) == kAnswerYes)
        c.launch_application(file_name);
}

} // namespace qb
