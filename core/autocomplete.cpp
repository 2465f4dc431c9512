#include "core/autocomplete.h"

#include "core/codepage.h"
#include "core/core.h"

#include <exception>
#include <utility>

namespace qb {
namespace {

bool completion_code(int code) { return code >= kFirstCompletionCode && code <= kLastCompletionCode; }

bool custom_transaction(const QString& transaction) {
    const QString t = transaction.toLower();
    return t != u"buy" && t != u"sell" && t != u"call notes" && t != u"file" && t != u"web page";
}

} // namespace

void Core::add_autocomplete_entry(const QString& name) {
    if (name.isEmpty() || !completion_code(name.at(0).unicode())) return;
    auto& p = autocomplete_names[name.at(0).unicode() - kFirstCompletionCode];
    if (name == p[0]) return;
    if (name == p[1]) {
        p[1] = p[0];
    } else if (name == p[2]) {
        p[2] = p[0];
    } else {
        p[2] = p[1];
        p[1] = p[0];
    }
    p[0] = name;
}

void Core::build_autocomplete_table() {
    try {
        // Not cleared first: after a restore the names of this run stay in front.
        last_custom_trans_type.clear();
        for (int32_t i = maxSummarydata_index(); i >= 0; --i) {
            const SummaryEntry& e = std::as_const(SummaryData)[i];
            if (e.security.isEmpty() || e.Inuse == 0) continue;
            if (last_custom_trans_type.isEmpty() && custom_transaction(e.transaction))
                last_custom_trans_type = trim_blanks(e.transaction);
            const int code = e.security.at(0).unicode();
            if (!completion_code(code)) continue;
            auto& p = autocomplete_names[code - kFirstCompletionCode];
            for (QString& place : p) {
                if (place == e.security) break;
                if (place.isEmpty()) {
                    place = e.security;
                    break;
                }
            }
        }
    } catch (const std::exception& e) {
        show_message(msg_error, QStringLiteral("Error setting up autocompletion. Error: ") + QString::fromLocal8Bit(e.what()));
    }
}

bool Core::find_completion(int code, QString& completion, const QString& prefix) const {
    if (!completion_code(code)) return false;
    const auto& p = autocomplete_names[code - kFirstCompletionCode];
    if (prefix.isEmpty()) {
        if (p[0].isEmpty()) return false;
        completion = p[0];
        return true;
    }
    // The newest name is the one the box showed first; only the older two are offered
    // once the user has typed away from it.
    for (int k = 1; k < kNamesPerPosition; ++k) {
        if (p[k].startsWith(prefix)) {
            completion = p[k];
            return true;
        }
    }
    return false;
}

void select_next_character(CompletionBox& box, int key) {
    if (box.sel_length() == 0 && key != kKeyBackspace) box.set_sel_length(1);
}

void autocomplete_textbox(CompletionBox& box, int key, bool& completion_started, bool& completion_active) {
    Core* c = Core::current();
    if (!c) return;
    try {
        QString completion;
        if (!completion_started) {
            if (box.text().isEmpty() && c->find_completion(key, completion, QString())) {
                completion_started = true;
                box.set_text(completion);
                box.set_sel_start(0);
                select_next_character(box, key);
            }
            return;
        }
        // The next character is selected only where the completion goes on; anywhere
        // else (completion dropped, cursor at the start) the key would overwrite it.
        if (!completion_active) return;
        const QString text = box.text();
        const int p = box.sel_start() + 1;  // the character after the cursor, counted from 1
        if (p <= 1 || p > text.size()) return;
        select_next_character(box, key);
        if (text.at(p - 1).unicode() == key) return;  // typing along the completion
        const QString typed = text.left(p - 1) + QChar(char16_t(key));
        if (c->find_completion(typed.at(0).unicode(), completion, typed)) {
            box.set_text(completion);
            box.set_sel_start(p - 1);
            select_next_character(box, key);
        } else {
            box.set_text(typed.left(p - 1));
            box.set_sel_start(p - 1);
            completion_active = false;
        }
    } catch (const std::exception& e) {
        c->show_message(msg_error, QStringLiteral("Internal Error during autocompletion. Error: ") + QString::fromLocal8Bit(e.what()));
    }
}

} // namespace qb
