#include "references/entry_save.h"

#include "core/core.h"

namespace qb {

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
