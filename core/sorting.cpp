#include "core/sorting.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"

#include <limits>
#include <utility>

namespace qb {
namespace {

bool in_use(const SummaryEntry& e) { return e.Inuse == kTrue; }

// The shell sort over positions 0..n of `order`. follows(a, b) says whether the entry
// at the lower position must go behind the one at the higher position. Keys are looked
// up through `order`, so the passes exchange indices, not whole records; the final
// order is the same as exchanging the records themselves.
template <class Follows>
void shell_sort(QVector<int32_t>& order, Follows follows) {
    const int32_t n = int32_t(order.size()) - 1;
    int32_t g = n / 2;
    if (n >= 1 && g == 0) g = 1;
    while (g >= 1) {
        for (int32_t i = g; i <= n; ++i) {
            for (int32_t j = i - g; j >= 0 && follows(order[j], order[j + g]); j -= g)
                std::swap(order[j], order[j + g]);
        }
        g /= 2;
    }
}

template <class Key, class Tie>
void sort_by(QVector<SummaryEntry>& data, const QVector<Key>& key, const QVector<Tie>* tie) {
    QVector<int32_t> order(data.size());
    QVector<bool> used(data.size());
    for (int32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
        used[i] = in_use(data[i]);
    }
    shell_sort(order, [&](int32_t a, int32_t b) {
        if (used[a] != used[b]) return !used[a];
        if (key[a] > key[b]) return true;
        return tie && key[a] == key[b] && (*tie)[a] > (*tie)[b];
    });
    // Move the records into place cycle by cycle: no second table of records.
    QVector<bool> placed(data.size());
    for (int32_t s = 0; s < order.size(); ++s) {
        if (placed[s] || order[s] == s) continue;
        SummaryEntry held = std::move(data[s]);
        int32_t k = s;
        while (order[k] != s) {
            data[k] = std::move(data[order[k]]);
            placed[k] = true;
            k = order[k];
        }
        data[k] = std::move(held);
        placed[k] = true;
    }
}

} // namespace

QString first_checklist_name_lower(const SummaryEntry& entry) {
    for (const EntryChecklist& blk : entry.checklist)
        if (blk.completed == kTrue) return blk.name.toLower();
    return QString();
}

QString entry_topic_text(const SummaryEntry& entry) {
    if (entry.web.present == kTrue) return entry.web.reference_name;
    if (entry.file.present == kTrue)
        return entry.web.reference_name.isEmpty() ? file_name_from_path(entry.file.path) : entry.web.reference_name;
    return QString();
}

void sort_summary_data(QVector<SummaryEntry>& data, int32_t key) {
    const qsizetype n = data.size();
    QVector<double> dates(n);
    for (qsizetype i = 0; i < n; ++i) dates[i] = data[i].entry_date;
    auto by_text = [&](auto text_of) {
        QVector<QString> keys(n);
        for (qsizetype i = 0; i < n; ++i) keys[i] = text_of(data[i]).toLower();
        sort_by(data, keys, &dates);
    };
    switch (key) {
    case sort_date: {
        QVector<int32_t> idx(n);
        for (qsizetype i = 0; i < n; ++i) idx[i] = data[i].file_idx;
        sort_by(data, dates, &idx);
        break;
    }
    case sort_security: by_text([](const SummaryEntry& e) { return e.security; }); break;
    case sort_transaction: by_text([](const SummaryEntry& e) { return e.transaction; }); break;
    case sort_price: {
        QVector<Currency> prices(n);
        for (qsizetype i = 0; i < n; ++i) prices[i] = data[i].price;
        sort_by(data, prices, &dates);
        break;
    }
    case sort_checklist: by_text([](const SummaryEntry& e) { return first_checklist_name_lower(e); }); break;
    case sort_topic: by_text([](const SummaryEntry& e) { return entry_topic_text(e); }); break;
    case sort_order_added: {
        QVector<int32_t> idx(n);
        for (qsizetype i = 0; i < n; ++i) idx[i] = data[i].file_idx;
        sort_by<int32_t, int32_t>(data, idx, nullptr);
        break;
    }
    default: break;
    }
}

int16_t checklist_answer_status(const EntryChecklist& block) {
    if (block.last_item_index < 0) return status_none_answered;
    // A damaged record may claim more items than a block has.
    const int last = qMin<int>(block.last_item_index, kItemsPerChecklist - 1);
    int answered = 0;
    for (int j = 0; j <= last; ++j)
        if (block.Item.at(j).answer > 0) ++answered;
    if (answered == 0) return status_none_answered;
    return answered == last + 1 ? status_completed : status_partly_answered;
}

// ---- Core: the tables of this program run ----

void Core::sort_summary_data(int32_t key) { qb::sort_summary_data(SummaryData, key); }

QString Core::first_checklist_name_lower(int32_t index) const {
    if (index < 0 || index > maxSummarydata_index()) return QString();
    return qb::first_checklist_name_lower(SummaryData[index]);
}

bool Core::add_checklist_slot() {
    // The current index is 16-bit; a table that cannot be indexed by it cannot grow.
    if (Checklists.size() > std::numeric_limits<int16_t>::max()) return false;
    try {
        Checklists.append(blank_checklist);
    } catch (const std::bad_alloc&) {
        return false;
    }
    current_checklist_index = int16_t(maxChecklists_index());
    return true;
}

bool Core::find_free_checklist_slot() {
    for (int32_t i = 0; i <= maxChecklists_index() && i <= std::numeric_limits<int16_t>::max(); ++i) {
        if (Checklists[i].Inuse == 0) {
            current_checklist_index = int16_t(i);
            return true;
        }
    }
    return add_checklist_slot();
}

QString Core::lookup_symbol_by_name(const QString& name) const {
    for (int32_t i = maxSummarydata_index(); i >= 0; --i) {
        const SummaryEntry& e = SummaryData[i];
        if (!e.symbol.isEmpty() && trim_blanks(e.security).compare(name, Qt::CaseInsensitive) == 0)
            return trim_blanks(e.symbol);
    }
    return QString();
}

} // namespace qb
