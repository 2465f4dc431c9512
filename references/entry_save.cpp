#include "references/entry_save.h"

#include "core/codepage.h"
#include "core/core.h"

namespace qb {

void store_other_text(SummaryEntry& e, const QString& text) {
    const QString trimmed = trim_blanks(text);
    if (trimmed.isEmpty() && e.other.text_unreadable) return;
    e.other.present = to_flag(!trimmed.isEmpty());
    e.other.text = trimmed;
}

bool store_reference_entry(int screen_code) {
    Core& c = core();
    const CurrentEntry before = c.current_entry;
    if (!c.save_entry()) {
        // A save refused before anything was written may have dropped the working copy;
        // the editor keeps the user's data on screen and in it.
        if (c.current_entry.mode != before.mode || c.current_entry.index != before.index) c.current_entry = before;
        return false;
    }
    c.current_screen = screen_code;
    c.current_entry.mode = mode_edit;
    c.add_autocomplete_entry(c.current_entry.entry.security);
    return true;
}

} // namespace qb
