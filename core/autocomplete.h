#pragma once
// Security-name completion while the user types into a name box. The table itself
// (Core::autocomplete_names) lives in the Core; this is the typing side, written
// against a small text-box interface so the rules run without widgets.
#include <QString>

namespace qb {

// First characters the completion covers: '!' (33) to '}' (125), one table position each.
constexpr int kFirstCompletionCode = 33;
constexpr int kLastCompletionCode = 125;
constexpr int kCompletionPositions = kLastCompletionCode - kFirstCompletionCode + 1;  // 93
constexpr int kNamesPerPosition = 3;

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;

// The text box the completion works on: its text, cursor and selection. Positions
// count characters from 0; with a selection, sel_start is where it begins.
class CompletionBox {
public:
    virtual ~CompletionBox() = default;
    virtual QString text() const = 0;
    virtual void set_text(const QString& text) = 0;
    virtual int sel_start() const = 0;
    virtual int sel_length() const = 0;
    // Puts the cursor at pos (clamped to the text) with nothing selected.
    virtual void set_sel_start(int pos) = 0;
    // Selects length characters from sel_start (clamped to the text).
    virtual void set_sel_length(int length) = 0;
};

// With nothing selected, selects the one character after the cursor, so the key about
// to be applied replaces it; never for Backspace.
void select_next_character(CompletionBox& box, int key);

// Called for every key the box is about to apply except Enter; key is the character
// code. May change the box's text, cursor and selection and the two flags, never the
// key itself. Works on the current Core's completion table.
void autocomplete_textbox(CompletionBox& box, int key, bool& completion_started, bool& completion_active);

} // namespace qb
