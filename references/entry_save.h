#pragma once
// The last step every reference editor shares: the entry goes to the record files, and
// a refused or failed save leaves the working copy as the editor filled it.
class QString;

namespace qb {

struct SummaryEntry;

// Keeps the trimmed notes in the entry; blanks only are no notes, so the flag never
// stands for an empty text, and an unreadable stored text is not replaced by nothing.
void store_other_text(SummaryEntry& e, const QString& text);

// True when the entry was stored; then it is an existing entry shown on screen_code.
bool store_reference_entry(int screen_code);

} // namespace qb
