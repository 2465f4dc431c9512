#pragma once
// The one sort of the entries table and the small look-ups over entries and checklists.
#include "core/records.h"

#include <QString>
#include <QVector>

namespace qb {

// The column keys of the entry list; any other value leaves the table as it is.
enum sort_key : int32_t {
    sort_date = 0,
    sort_security = 1,
    sort_transaction = 2,
    sort_price = 3,
    sort_checklist = 4,
    sort_topic = 5,
    sort_order_added = 6,
};

// How far one answered checklist block is filled in.
enum checklist_status : int16_t {
    status_none_answered = 0,
    status_partly_answered = 1,
    status_completed = 2,
};

// Orders the table by key, entries not in use behind all others. The tie order is that
// of a gap-halving shell sort, so stored lists come out exactly as users have seen them.
void sort_summary_data(QVector<SummaryEntry>& data, int32_t key);

// Lower-cased name of the first completed block (0..5), "" when none is completed.
QString first_checklist_name_lower(const SummaryEntry& entry);

// The reference topic the topic column sorts by (not lower-cased).
QString entry_topic_text(const SummaryEntry& entry);

int16_t checklist_answer_status(const EntryChecklist& block);

} // namespace qb
