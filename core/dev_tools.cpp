#include "core/dev_tools.h"

#include "core/core.h"
#include "core/ole_date.h"
#include "core/record_file.h"
#include "core/save_file.h"

namespace qb {
namespace {

const QString kTitle = QStringLiteral("Quorbelix");
constexpr int kMaxTestEntries = 2000;

// Not through show_message: the report is a developer aid and is not logged.
void file_error(Core& c, const QString& why) {
    if (c.platform().messages)
        c.platform().messages->message_box(kTitle, QStringLiteral("File error on testing: ") + why);
}

QString index_row(Core& c, QFile& vardata, int32_t i) {
    const SummaryEntry& e = c.SummaryData[i];
    const QString tab2 = QStringLiteral("\t\t");
    QString row = QString::number(i) + u'\t' + e.security.left(7) + tab2 + QString::number(e.file_idx) + tab2 +
                  QString::number(e.other.Index_to_other) + tab2;
    if (e.other.present == 0) {
        row += QStringLiteral("NotInuse") + tab2;
    } else {
        QString text;
        uint8_t format = 0;
        int32_t owner = 0;
        if (!c.read_vardata(vardata, e.other.Index_to_other, text, format, owner))
            c.show_message(msg_error, QStringLiteral("Error read Other string from Vardata"));
        row += QString::number(owner) + tab2;
    }
    for (const EntryChecklist& blk : e.checklist)
        row += blk.Inuse == 0 ? QStringLiteral("No, ") : QString::number(blk.last_item_index) + QStringLiteral(", ");
    return row + QStringLiteral("\r\n");
}

} // namespace

void write_index_report(Core& c, const DevToolHooks& hooks) {
    if (hooks.undo_all_entry_delete) hooks.undo_all_entry_delete();

    QFile vardata;
    if (!c.open_vardata_for_reading(vardata)) return file_error(c, error_text(vardata));

    const QString blank = QStringLiteral("\r\n");
    QString out = QStringLiteral("Report of the Data and the Various Indexes\r\n"
                                 "==========================================\r\n");
    out += QStringList{"Mem Idx", "Security", "file_idx", "Index_to_other", "Index_from_other",
                       "Index_to_checklist", "Index_from_checklist"}.join(u'\t') + blank;
    out += QStringList{"=======", "========", "========", "==============", "================",
                       "==================", "===================="}.join(u'\t') + blank;
    out += blank;
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) out += index_row(c, vardata, i) + blank;
    out += QStringLiteral("---------------------------Done------------------------") + blank;
    vardata.close();

    // Written whole, so a failure leaves the last report as it was.
    QString why;
    if (!save_whole_file(c.data_path(QStringLiteral("report.txt")), out.toUtf8(), &why)) file_error(c, why);
}

void add_test_entries(Core& c, int16_t count, const QString& indicator, Flag add_other,
                      const DevToolHooks& hooks) {
    for (int i = 0; i < count && i < kMaxTestEntries; ++i) {
        c.current_entry = c.blank_entry;
        c.Currententry_checklist_index = 0;
        int32_t index = 0;
        if (!c.get_new_entry_slot(index)) {
            c.show_message(msg_error, QStringLiteral("Internal Error: Out of Memory. No more space available"));
            return;
        }
        const QString n = QString::number(i);
        CurrentEntry& ce = c.current_entry;
        ce.index = index;
        ce.mode = mode_new;
        SummaryEntry& e = ce.entry;
        e.file_idx = 0;
        e.transaction = QStringLiteral("Buy");
        e.entry_date = c.platform().clock ? ole_from_date(c.platform().clock->today()) : c.blank_entry.entry.entry_date;
        e.Inuse = kTrue;
        e.deleted = 0;
        e.price = Currency(i) * 10000;
        e.security = indicator + QStringLiteral(" : ") + n;
        if (add_other != 0) {
            e.other.present = kTrue;
            e.other.text = QStringLiteral("This is the otherinfo for ") + indicator + QStringLiteral(" : ") + n;
        }

        if (hooks.init_checklists) hooks.init_checklists();
        for (int k = 0; k < 2; ++k) {
            EntryChecklist& blk = ce.entry.checklist[k];
            for (int j = 0; j <= blk.last_item_index && j < kItemsPerChecklist; ++j) {
                blk.Item[j].answer = answer_yes;
                blk.Item[j].comment = QStringLiteral("Comment #") + QString::number(j) + QStringLiteral(" Entry: ") +
                                      indicator + n;
            }
            blk.Inuse = kTrue;
            blk.completed = kTrue;
        }

        // save_entry has reported the failure; repeating it up to 2000 times adds nothing.
        const bool saved = c.save_entry();
        if (hooks.update_Title_with_entries) hooks.update_Title_with_entries();
        if (!saved) return;
    }
}

} // namespace qb
