#pragma once
// Developer aids for checking the data store; nothing in the menus calls them.
#include "core/records.h"

#include <QString>
#include <functional>

namespace qb {

class Core;

// The windows' parts of the tools; a hook left empty is skipped.
struct DevToolHooks {
    // Clears the deleted flag of every entry deleted this run and saves it (entry list).
    std::function<void()> undo_all_entry_delete;
    // Fills current_entry's blocks from the checklists that score new entries (editor).
    std::function<void()> init_checklists;
    // Redraws the entry list.
    std::function<void()> update_Title_with_entries;
};

// Writes report.txt in the program folder: every SummaryData element with its record
// number and long-text numbers. Undeletes this run's deleted entries first.
void write_index_report(Core& c, const DevToolHooks& hooks = {});

// Creates and saves up to min(count, 2000) Buy entries named indicator + " : " + i.
void add_test_entries(Core& c, int16_t count, const QString& indicator, Flag add_other,
                      const DevToolHooks& hooks = {});

} // namespace qb
