#include "core/core.h"
#include "core/record_file.h"
#include "core/record_io.h"
#include "core/save_journal.h"
#include "core/text_helpers.h"

#include <QDir>
#include <QSet>
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace qb {
namespace {

constexpr int kBlockBase = 608;
constexpr int kBlockSize = 406;

QByteArray encode_entry(const SummaryEntry& e) {
    RecordWriter w(kEntryRecordSize);
    w.i32(0, e.file_idx);
    w.u8(4, 1);
    w.i16(5, e.Inuse);
    w.i16(7, e.deleted);
    w.f64(9, e.entry_date);
    const QString sec = e.security.isEmpty() ? e.security : e.security + "<s>" + e.symbol + "<\\s>";
    w.text(17, 40, sec);
    w.text(57, 25, e.transaction);
    w.i64(82, e.price);
    w.i16(90, e.web.present);
    w.text(92, 200, e.web.address);
    w.text(292, 100, e.web.reference_name);
    w.i16(392, e.file.present);
    w.i16(394, e.file.reserved);
    w.text(396, 200, e.file.path);
    w.i16(596, 0);
    w.i32(598, 0);
    w.i16(602, e.other.present);
    w.i32(604, e.other.Index_to_other);
    for (int k = 0; k < kChecklistBlocks; ++k) {
        const int b = kBlockBase + kBlockSize * k;
        const EntryChecklist& blk = e.checklist[k];
        if (blk.Inuse == 0) {
            w.text(b + 4, 100, QString());
            continue;
        }
        w.i16(b, kTrue);
        w.i16(b + 2, blk.completed);
        w.text(b + 4, 100, blk.name);
        w.i16(b + 104, blk.last_item_index);
        for (int j = 0; j < kItemsPerChecklist; ++j) {
            const int o = b + 106 + 10 * j;
            const EntryChecklistItem& it = blk.Item[j];
            w.i16(o, it.answer);
            w.i32(o + 2, it.text_index);
            w.i32(o + 6, it.comment_index);
        }
    }
    return w.bytes();
}

// One text per distinct stored value while a file loads: names, symbols, types and
// topics repeat from entry to entry, and the entries then share one copy of each.
class TextPool {
public:
    QString get(std::string_view bytes) {
        if (bytes.empty()) return QString();
        const auto it = texts_.find(bytes);
        if (it != texts_.end()) return it->second;
        QString text = decode_cp1252(bytes.data(), qsizetype(bytes.size()));
        // Enough for every repeated value of a large journal; beyond that a value is
        // most likely unique, and pooling it would only hold memory.
        if (texts_.size() < kMaxTexts) texts_.emplace(std::string(bytes), text);
        return text;
    }

private:
    static constexpr size_t kMaxTexts = 20000;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view v) const { return std::hash<std::string_view>{}(v); }
    };
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> texts_;
};

QString decode(std::string_view bytes) {
    return bytes.empty() ? QString() : decode_cp1252(bytes.data(), qsizetype(bytes.size()));
}

// Decodes a record into a default-constructed entry.
void decode_entry(const char* bytes, SummaryEntry& e, TextPool& pool,
                  const QExplicitlySharedDataPointer<StoredItems>& store) {
    RecordReader r(bytes);
    e.format_byte = r.u8(4);
    e.Inuse = r.i16(5);
    e.deleted = r.i16(7);
    e.entry_date = r.f64(9);
    // The security, then its symbol between the "s" tags (the tag bytes are ASCII, so
    // they are found in the stored bytes as in the decoded text).
    const std::string_view sec = r.trimmed(17, 40);
    const size_t open = sec.find("<s>");
    if (open == std::string_view::npos) {
        e.security = pool.get(sec);
    } else {
        e.security = pool.get(sec.substr(0, open));
        const size_t close = sec.find("<\\s>", open);
        if (close != std::string_view::npos && close > open + 3) e.symbol = pool.get(sec.substr(open + 3, close - open - 3));
    }
    e.transaction = pool.get(r.trimmed(57, 25));
    e.price = r.i64(82);
    e.web.present = r.i16(90);
    e.web.address = decode(r.trimmed(92, 200));
    e.web.reference_name = pool.get(r.trimmed(292, 100));
    e.file.present = r.i16(392);
    e.file.reserved = r.i16(394);
    e.file.path = decode(r.trimmed(396, 200));
    e.other.present = r.i16(602);
    e.other.Index_to_other = r.i32(604);
    for (int k = 0; k < kChecklistBlocks; ++k) {
        const int b = kBlockBase + kBlockSize * k;
        EntryChecklist& blk = e.checklist[k];
        blk.Inuse = r.i16(b);
        blk.completed = r.i16(b + 2);
        blk.name = pool.get(r.trimmed(b + 4, 100));
        // A damaged count must not walk past the 30 items.
        blk.last_item_index = std::clamp<int16_t>(r.i16(b + 104), -1, kItemsPerChecklist - 1);
        // Items after the last one that holds something stay blank (and shared).
        int count = kItemsPerChecklist;
        for (; count > 0; --count) {
            const int o = b + 106 + 10 * (count - 1);
            if (r.i16(o) || r.i32(o + 2) || r.i32(o + 6)) break;
        }
        if (count == 0) continue;
        auto& items = store->items;
        const auto first = int32_t(items.size());
        for (int j = 0; j < count; ++j) {
            const int o = b + 106 + 10 * j;
            items.push_back({r.i16(o), r.i32(o + 2), r.i32(o + 6)});
        }
        blk.Item.assign_stored(store, first, count);
    }
}

// A large table is faulted in a large page at a time rather than 4 KB at a time: at
// 100,000 entries that is tens of page faults instead of thousands.
void advise_large_pages(void* data, qsizetype bytes) {
#ifdef Q_OS_LINUX
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + uintptr_t(bytes)) & ~(kLarge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

int clamp_last(const EntryChecklist& blk) { return std::min<int>(blk.last_item_index, kItemsPerChecklist - 1); }

} // namespace

bool Core::open_record_file(QFile& file, const QString& name) {
    file.setFileName(data_path(name));
    return open_file(file, QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool Core::open_for_loading(QFile& file, const QString& name) {
    file.setFileName(data_path(name));
    // An absent file is created empty; a file that cannot be written still loads. What is
    // no regular file (a FIFO, a device) is refused by both opens and says nothing of the folder.
    QFile probe(file.fileName());
    if (!open_file(probe, QIODevice::ReadWrite) && not_regular_at(file.fileName()).isEmpty())
        note_folder_unwritable(last_file_error());
    probe.close();
    return open_file(file, QIODevice::ReadOnly);
}

void Core::note_folder_unwritable(const QString& why) {
    if (folder_unwritable_reported) return;
    folder_unwritable_reported = true;
    show_message(msg_warning, QStringLiteral("The program folder ") + QDir::toNativeSeparators(program_folder_) +
                                  QStringLiteral(" cannot be written (") + why +
                                  QStringLiteral("). Your data is shown, but saving will fail until the folder "
                                                 "can be written."));
}

int Core::allocate_summary_data(int32_t& n) {
    const int32_t asked = n;
    for (;;) {
        try {
            SummaryData = QVector<SummaryEntry>();  // nothing kept: the old table goes first
            QVector<SummaryEntry> table;
            table.reserve(qsizetype(n) + 1);
            advise_large_pages(table.data(), table.capacity() * qsizetype(sizeof(SummaryEntry)));
            table.resize(qsizetype(n) + 1);
            SummaryData = std::move(table);
            return asked - n;
        } catch (const std::bad_alloc&) {
            n -= 100;
            if (n > 0) continue;
            SummaryData = QVector<SummaryEntry>(1);
            n = 0;
            show_message(msg_error, QStringLiteral("Unable to allocate memory for SummaryData"));
            return 0;
        }
    }
}

void Core::resize_summary_data(int32_t n) {
    try {
        SummaryData.resize(qsizetype(n) + 1);
    } catch (const std::bad_alloc& e) {
        show_message(msg_error, QStringLiteral("Memory error allocating SummaryData. Error: ") + e.what());
    }
}

void Core::load_summary_data() {
    // Settled here, the files are whole again and the tables are loaded from them now.
    if (settle_interrupted_restore()) restore_unfinished = false;
    recover_interrupted_save();
    QFile f;
    auto failed = [&](const QString& why) {
        show_message(msg_error, QStringLiteral("Reading Summary file failed: ") + message_path(entries_filename) + why);
        // The table as it was stays; the counters stop every save until the next load.
        if (SummaryData.isEmpty()) SummaryData = QVector<SummaryEntry>(2);
        next_summary_record = 0;
        num_summary_file_records = 0;
    };
    const bool opened = open_for_loading(f, entries_filename);
    if (!opened && (f.exists() || !folder_unwritable_reported)) return failed(last_file_error());
    // A size that cannot be read is no empty file: the next new entry would take record 2.
    int32_t count = 0;
    if (opened && !record_count(f, kEntryRecordSize, count)) return failed(error_text(f));
    int32_t n = std::max(count - 2, 1);
    const int shortfall = allocate_summary_data(n);
    int32_t first = std::max(shortfall + 1, 2);
    bool overflowed = false;

    // Read sequentially in chunks into one buffer: one system call per 32 records, and
    // a buffer small enough to stay in the processor's cache.
    constexpr int32_t kChunkRecords = 32;
    int32_t i = 0;
    QByteArray chunk(qsizetype(kChunkRecords) * kEntryRecordSize, Qt::Uninitialized);
    TextPool pool;
    const QExplicitlySharedDataPointer<StoredItems> store(new StoredItems);
    if (first <= count && !f.seek(qint64(first - 1) * kEntryRecordSize)) first = count + 1;
    for (int32_t rec = first; rec <= count;) {
        const int32_t n_chunk = std::min(kChunkRecords, count - rec + 1);
        const qint64 want = qint64(n_chunk) * kEntryRecordSize;
        if (f.read(chunk.data(), want) != want) return failed(error_text(f));
        for (int32_t k = 0; k < n_chunk; ++k, ++rec) {
            const char* bytes = chunk.constData() + qsizetype(k) * kEntryRecordSize;
            if (RecordReader(bytes).i16(7) != 0) continue;
            SummaryEntry& e = SummaryData[i];
            if (i == maxSummarydata_index() && overflowed) e = SummaryEntry();  // written over: start blank
            decode_entry(bytes, e, pool, store);
            e.file_idx = rec;
            ++i;
            if (i > maxSummarydata_index()) {
                if (rec != count)
                    show_message(msg_debug_data,
                                 QStringLiteral("Memory index>maxSummarydata_index...second to last entry no read into memory"));
                i = maxSummarydata_index();
                overflowed = true;
            }
        }
    }
    f.close();
    next_summary_record = count + 1;
    num_summary_file_records = count;
    set_next_vardata_index();
    if (i > 1 && i < maxSummarydata_index()) resize_summary_data(i - 1);
}

bool Core::recover_interrupted_save() {
    bool found = false;
    if (SaveJournal::recover(data_path(journal_filename), found)) {
        if (found) show_message(msg_debug_data, QStringLiteral("A save cut short was undone"));
        return true;
    }
    show_message(msg_error, QStringLiteral("A save that was cut short could not be undone. Error: ") + last_file_error() +
                                QStringLiteral(". Nothing can be saved until ") + message_path(journal_filename) +
                                QStringLiteral(" can be applied."));
    return false;
}

bool Core::plan_save(SaveJournal& journal) {
    if (!journal.add_file(data_path(entries_filename)) || !journal.add_file(data_path(vardata_filename))) return false;
    const CurrentEntry& c = current_entry;
    if (c.mode != mode_edit) return true;  // a new entry only appends
    // An edit overwrites the entry's record and the old chains of its texts: keep them all.
    QFile entries(data_path(entries_filename));
    if (c.entry.file_idx >= 1 && open_file(entries, QIODevice::ReadOnly) &&
        !journal.keep(entries, qint64(c.entry.file_idx - 1) * kEntryRecordSize, kEntryRecordSize))
        return false;
    QFile var;
    if (open_vardata_for_reading(var)) {
        int32_t count = 0;
        if (!record_count(var, kVarDataRecordSize, count)) return false;
        auto keep_chain = [&](int32_t cur) {
            QSet<int32_t> seen;
            while (cur >= 1 && cur <= count && !seen.contains(cur) && seen.size() <= 2 * (kVarDataMaxChain + 1)) {
                seen.insert(cur);
                QByteArray b;
                if (!read_record(var, kVarDataRecordSize, cur, b) ||
                    !journal.keep(var, qint64(cur - 1) * kVarDataRecordSize, kVarDataRecordSize))
                    return false;
                cur = RecordReader(b).i32(7);
            }
            return true;
        };
        if (!keep_chain(c.entry.other.Index_to_other)) return false;
        for (const EntryChecklist& blk : c.entry.checklist) {
            if (blk.Inuse == 0) continue;
            for (int j = 0; j <= clamp_last(blk); ++j)
                if (!keep_chain(blk.Item.at(j).text_index) || !keep_chain(blk.Item.at(j).comment_index)) return false;
        }
    }
    return journal.write_pending();
}

bool Core::save_entry() {
    CurrentEntry& c = current_entry;
    if (c.mode == mode_edit && (c.index < 0 || c.index > maxSummarydata_index())) {
        show_message(msg_error, QStringLiteral("Data NOT Saved. Bad summary file index: ") + QString::number(c.index));
        current_entry = blank_entry;
        return false;
    }
    // Files left half-saved by an earlier failure are put right before anything is added.
    if (restore_left_unfinished() || !recover_interrupted_save()) return false;
    // Record 1 of the file is a placeholder: entries start at record 2.
    if (c.mode != mode_edit && next_summary_record == 1) next_summary_record = 2;

    const SummaryEntry entry_before = c.entry;
    const bool has_slot = c.index >= 0 && c.index <= maxSummarydata_index();
    const SummaryEntry slot_before = has_slot ? SummaryData[c.index] : SummaryEntry{};
    const int32_t vardata_before = next_vardata_index;
    const int32_t next_record_before = next_summary_record;
    const int32_t records_before = num_summary_file_records;

    SaveJournal journal(data_path(journal_filename));
    bool ok = plan_save(journal);
    if (!ok)
        show_message(msg_error, QStringLiteral("Data NOT Saved. Unable to prepare the data files for the save. Error: ") +
                                    last_file_error());
    if (ok) {
        journal.activate();
        ok = write_entry_files();
    }
    if (ok && !journal.commit()) {
        ok = false;
        show_message(msg_error, QStringLiteral("Data NOT Saved. Unable to finish writing the data files. Error: ") +
                                    last_file_error());
    }
    if (ok) return true;

    // Nothing of a failed save stays: the files, the table and the counters go back.
    if (!journal.roll_back()) {
        show_message(msg_error, QStringLiteral("Unable to restore the data files after the failed save. Error: ") +
                                    last_file_error() +
                                    QStringLiteral(". They will be restored when Quorbelix starts again."));
    }
    c.entry = entry_before;
    if (c.mode == mode_new) c.entry.file_idx = 0;
    if (has_slot) SummaryData[c.index] = slot_before;
    next_vardata_index = vardata_before;
    next_summary_record = next_record_before;
    num_summary_file_records = records_before;
    return false;
}

bool Core::write_entry_files() {
    CurrentEntry& c = current_entry;
    if (c.mode == mode_edit) {
        SummaryData[c.index] = c.entry;
        return write_other_data() && write_checklist_answer_texts() && write_summary_record();
    }

    c.entry.file_idx = next_summary_record++;
    c.entry.format_byte = 1;
    bool ok = true;
    if (c.entry.other.present == kTrue) {
        c.entry.other.Index_to_other = next_vardata_index;
        ok = write_other_data();
    } else {
        c.entry.other.Index_to_other = 0;
    }
    ok = write_checklist_answer_texts() && ok;
    if (ok) {
        ok = write_summary_record();
        if (ok)
            ++num_summary_file_records;
        else
            show_message(msg_error, QStringLiteral("Add Summary Data Failed. File Error"));
    }
    return ok;
}

bool Core::write_long_text(QFile& file, int32_t& index, const QString& text, bool& unreadable) {
    if (trim_blanks(text).isEmpty()) {
        if (!unreadable) index = 0;  // no text, no chain; an unread chain stays as stored
        return true;
    }
    clamp_vardata_index(index);
    if (!write_vardata(file, index, text)) return false;
    unreadable = false;
    return true;
}

bool Core::write_other_data() {
    OtherText& o = current_entry.entry.other;
    if (o.present == 0) return true;
    const QString text = trim_blanks(o.text);
    if (text.isEmpty()) {
        // An unread chain is kept as it is; a text of blanks is no text at all.
        if (!o.text_unreadable) {
            o.present = 0;
            o.Index_to_other = 0;
        }
        return true;
    }
    clamp_vardata_index(o.Index_to_other);
    QFile f;
    if (!open_vardata(f)) {
        show_message(msg_error, QStringLiteral("Writing to Vardata for Other info failded. Error: ") + error_text(f));
        return false;
    }
    if (!write_vardata(f, o.Index_to_other, text)) {
        show_message(msg_error, QStringLiteral("Writing Other data error, index: ") + QString::number(o.Index_to_other) +
                                    QStringLiteral("...Error: ") + error_text(f));
        return false;
    }
    o.text_unreadable = false;
    return true;
}

bool Core::write_checklist_answer_texts() {
    QFile f;
    if (!open_vardata(f)) {
        show_message(msg_error, QStringLiteral("Error writing to Vardata for Checklists. Error: ") + error_text(f));
        return false;
    }
    auto failed = [&](int32_t& index) {
        show_message(msg_error, QStringLiteral("Writing Checklist Data failed. Data NOT Saved. VarData Index: ") +
                                    QString::number(index));
        index = 0;
        return false;
    };
    for (EntryChecklist& blk : current_entry.entry.checklist) {
        if (blk.Inuse == 0) continue;
        for (int j = 0; j <= clamp_last(blk); ++j) {
            EntryChecklistItem& it = blk.Item[j];
            if (!write_long_text(f, it.text_index, it.text, it.text_unreadable)) return failed(it.text_index);
            if (!write_long_text(f, it.comment_index, it.comment, it.comment_unreadable)) return failed(it.comment_index);
        }
    }
    return true;
}

bool Core::write_summary_record() {
    SummaryEntry& e = current_entry.entry;
    QFile f;
    auto file_error = [&]() {
        show_message(msg_error, QStringLiteral("Writing Summary data file") + message_path(entries_filename) +
                                    QStringLiteral("error...Index: ") + QString::number(e.file_idx) +
                                    QStringLiteral("Error: ") + error_text(f));
        return false;
    };
    if (restore_left_unfinished()) return false;
    if (!open_record_file(f, entries_filename)) return file_error();
    int32_t count = 0;
    if (!record_count(f, kEntryRecordSize, count)) return file_error();
    if (count == 0 && e.file_idx == 2) {
        if (!write_record(f, kEntryRecordSize, 1, QByteArray(kEntryRecordSize, '\0'))) return file_error();
        count = 1;
    }
    if (e.file_idx < 1 || e.file_idx > count + 1) {
        show_message(msg_error, QStringLiteral("Data not saved. Summary Index out of Range: ") + QString::number(e.file_idx));
        return false;
    }
    e.format_byte = 1;
    if (!write_record(f, kEntryRecordSize, e.file_idx, encode_entry(e))) return file_error();
    if (current_entry.index >= 0 && current_entry.index <= maxSummarydata_index())
        SummaryData[current_entry.index] = e;
    return true;
}

bool Core::load_entry(int32_t n) {
    current_entry = blank_entry;
    Currententry_checklist_index = 0;
    current_entry.index = n;
    if (n < 0 || n > maxSummarydata_index()) return false;
    current_entry.entry = SummaryData[n];
    current_entry.mode = mode_edit;
    OtherText& o = current_entry.entry.other;
    if (o.present == kTrue) {
        read_other_data();
    } else {
        o.present = 0;
        o.text.clear();
        o.Index_to_other = 0;
    }
    return read_checklist_answer_texts();
}

void Core::read_other_data() {
    OtherText& o = current_entry.entry.other;
    QFile f;
    bool ok = false;
    if (!open_vardata_for_reading(f)) {
        show_message(msg_error, QStringLiteral("Unable to open Vardata file for Other info. Error: ") + error_text(f));
    } else {
        uint8_t format = 0;
        int32_t owner = 0;
        QString text;
        ok = read_vardata(f, o.Index_to_other, text, format, owner);
        if (ok) {
            o.text = trim_blanks(text);
            o.present = kTrue;
            o.text_unreadable = false;
        } else {
            show_message(msg_error, QStringLiteral("Unable to Read OTHER Data File: Index: ") + QString::number(o.Index_to_other));
        }
    }
    if (!ok) {
        // Keep the reference: a later save must not drop the stored text.
        o.text.clear();
        o.text_unreadable = true;
        if (hooks.addentry_set_add_or_edit_ongoing) hooks.addentry_set_add_or_edit_ongoing();
    }
}

bool Core::read_checklist_answer_texts() {
    QFile f;
    if (!open_vardata_for_reading(f)) {
        show_message(msg_error, QStringLiteral("Unable to open Vardata file. No Checklists Read. Error ") + error_text(f));
        return false;
    }
    // A chain that cannot be read leaves its text unknown, not empty: a save keeps the
    // stored chain. The user hears of it once, not once per text.
    bool any_unreadable = false;
    auto read_text = [&](int32_t index, QString& out) {
        out.clear();
        if (index == 0) return true;
        uint8_t format = 0;
        int32_t owner = 0;
        const bool ok = index > 0 && index < next_vardata_index && read_vardata(f, index, out, format, owner, true);
        any_unreadable = any_unreadable || !ok;
        return ok;
    };
    for (EntryChecklist& blk : current_entry.entry.checklist) {
        if (blk.Inuse == 0) {
            blk = blank_entry_checklist;
            blk.Inuse = 0;
            continue;
        }
        for (int j = 0; j <= clamp_last(blk); ++j) {
            EntryChecklistItem& it = blk.Item[j];
            it.text_unreadable = !read_text(it.text_index, it.text);
            it.comment_unreadable = !read_text(it.comment_index, it.comment);
        }
    }
    if (any_unreadable) {
        show_message(msg_error, QStringLiteral("Some checklist texts of this entry could not be read from ") +
                                    message_path(vardata_filename) +
                                    QStringLiteral(". They are kept as stored when the entry is saved."));
        if (hooks.addentry_set_add_or_edit_ongoing) hooks.addentry_set_add_or_edit_ongoing();
    }
    return true;
}

} // namespace qb
