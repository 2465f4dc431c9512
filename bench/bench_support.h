#pragma once
// What the benchmarks put in place of the outside world (a fixed clock, message boxes
// that nobody waits for), and the journal they share: entries with a details text and
// two answered checklists, the first of them completed.
#include "core/core.h"
#include "core/ole_date.h"
#include "core/platform_api.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

namespace qb::bench {

class FixedClock : public Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 3, 14), QTime(12, 0)); }
};

class QuietPresenter : public MessagePresenter {
public:
    void message_box(const QString&, const QString&) override {}
    int question_box(const QString&, const QString&, int) override { return kAnswerNo; }
};

inline void fill_entry(SummaryEntry& e, int n) {
    e.Inuse = kTrue;
    e.security = QString("Security %1").arg(n % 500);
    e.symbol = QString("S%1").arg(n % 500);
    e.transaction = n % 3 ? "Buy" : "Sell";
    e.price = Currency(n) * 10000 + 2500;
    e.entry_date = ole_from_date(QDate(2000, 1, 1).addDays(n % 9000));
    e.other.present = kTrue;
    e.other.text = QString("Details of entry %1. ").arg(n).repeated(6);
    for (int k = 0; k < 2; ++k) {
        EntryChecklist& blk = e.checklist[k];
        blk.Inuse = kTrue;
        blk.completed = to_flag(k == 0);
        blk.name = QString("Checklist %1").arg(k);
        blk.last_item_index = 4;
        for (int j = 0; j < 5; ++j) {
            blk.Item[j].answer = int16_t(1 + (n + j) % 3);
            blk.Item[j].text = QString("Item %1 of checklist %2?").arg(j).arg(k);
            if (j % 2 == 0) blk.Item[j].comment = QString("Comment %1").arg(n);
        }
    }
}

// Makes folder a program folder of count entries, unless it already holds one of that
// size. Returns the milliseconds the generation took, 0 when the folder was reused, -1
// when a save failed.
inline double make_journal(const QString& folder, int count) {
    const QString entries = QDir(folder).filePath(QStringLiteral("entries.dat"));
    if (QFileInfo(entries).size() == qint64(count + 1) * kEntryRecordSize) return 0;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    FixedClock clock;
    QuietPresenter quiet;
    Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    Core c(folder, platform);
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.load_summary_data();
    QElapsedTimer gen;
    gen.start();
    for (int n = 0; n < count; ++n) {
        int32_t slot;
        c.get_new_entry_slot(slot);
        c.current_entry = c.blank_entry;
        c.current_entry.index = slot;
        fill_entry(c.current_entry.entry, n);
        if (!c.save_entry()) return -1;
    }
    // No tips or tour at start: a start-up's timing is the list's.
    c.tiponstartup = "n";
    c.touronstartup = "n";
    c.save_preferences();
    return std::max(gen.nsecsElapsed() / 1e6, 1.0);
}

} // namespace qb::bench
