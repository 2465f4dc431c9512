#include "core/core.h"
#include "core/file_io.h"
#include "core/record_file.h"
#include "core/record_io.h"
#include "core/save_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qb {
namespace {

constexpr int kItemBase = 1622;
constexpr int kItemWidth = 1000;
// About 2,100 records: far more than anyone keeps (500 checklists are 16 MB), and small
// enough that a damaged or foreign file cannot stall the start or fill the memory.
constexpr qint64 kMaxChecklistFileBytes = qint64(64) << 20;

QString too_large(qint64 size) {
    return QStringLiteral("the file is too large (") + QString::number(size) + QStringLiteral(" bytes, at most ") +
           QString::number(kMaxChecklistFileBytes) + u')';
}

QByteArray encode_checklist(const Checklist& c, int32_t number) {
    RecordWriter w(kChecklistRecordSize);
    w.i32(0, number);
    w.i16(4, c.ShowIt);
    w.i16(6, c.Inuse);
    w.i16(8, c.deleted);
    w.i16(10, c.Version);
    w.text(12, 100, trim_blanks(c.Name));
    w.text(112, 100, trim_blanks(c.Author));
    w.text(212, 200, trim_blanks(c.Copyright));
    w.f64(412, c.Date);
    w.text(420, 100, trim_blanks(c.BookRef));
    w.text(520, 100, trim_blanks(c.WebSite));
    w.text(620, 1000, trim_blanks(c.WhyUse));
    w.i16(1620, c.TotalItems);
    for (int j = 0; j < kItemsPerChecklist; ++j) w.text(kItemBase + kItemWidth * j, kItemWidth, trim_blanks(c.Item[j]));
    return w.bytes();
}

void decode_checklist(const QByteArray& b, Checklist& c) {
    RecordReader r(b);
    c.ShowIt = r.i16(4);
    c.Inuse = r.i16(6);
    c.deleted = r.i16(8);
    c.Version = r.i16(10);
    c.Name = r.text(12, 100);
    c.Author = r.text(112, 100);
    c.Copyright = r.text(212, 200);
    c.Date = r.f64(412);
    c.BookRef = r.text(420, 100);
    c.WebSite = r.text(520, 100);
    c.WhyUse = r.text(620, 1000);
    // A damaged count must not walk past the 30 items.
    c.TotalItems = std::clamp<int16_t>(r.i16(1620), 0, kItemsPerChecklist);
    for (int j = 0; j < kItemsPerChecklist; ++j) c.Item[j] = r.text(kItemBase + kItemWidth * j, kItemWidth);
}

} // namespace

void Core::resize_checklists(int32_t n) {
    try {
        Checklists.resize(qsizetype(n) + 1);
    } catch (const std::bad_alloc& e) {
        show_message(msg_error, QStringLiteral("Memory error allocating Checklists. Error: ") + e.what());
    }
}

void Core::load_checklists() {
    // A temporary file of a save cut short before its rename is never data.
    remove_file(replacement_path(data_path(chklist_filename)));
    QFile f;
    int32_t last = -1;
    int32_t c = 0;
    auto file_error = [&]() {
        show_message(msg_error, QStringLiteral("Reading Checklists file ") + message_path(chklist_filename) +
                                    QStringLiteral(" failed, i,rec_idx:") + QString::number(c) + u',' +
                                    QString::number(last) + error_text(f));
    };
    if (!open_for_loading(f, chklist_filename) && f.exists()) return file_error();
    if (f.size() > kMaxChecklistFileBytes) {
        checklists_refused = true;
        show_message(msg_error, QStringLiteral("Reading Checklists file ") + message_path(chklist_filename) +
                                    QStringLiteral(" failed: ") + too_large(f.size()) +
                                    QStringLiteral(". The file is left as it is, and checklists cannot be saved until "
                                                   "it is moved away or restored from a backup."));
        return;
    }
    checklists_refused = false;
    last = record_count(f, kChecklistRecordSize) - 1;
    if (last < 0) {
        show_message(msg_error, QStringLiteral("Checklist File NOT Found. Using Default Checklist"));
        return;
    }
    if (last > maxChecklists_index()) resize_checklists(last);
    int32_t i = 0;
    QByteArray bytes;
    for (c = 0; c <= last; ++c) {
        if (!read_record(f, kChecklistRecordSize, c + 1, bytes)) return file_error();
        if (RecordReader(bytes).i16(8) != 0 || i > maxChecklists_index()) continue;
        Checklist& cl = Checklists[i];
        decode_checklist(bytes, cl);
        cl.file_idx = c + 1;
        ++i;
    }
    f.close();
    for (int32_t k = i; k <= maxChecklists_index(); ++k) Checklists[k] = blank_checklist;
    if (i >= 3 && i < maxChecklists_index()) resize_checklists(i - 1);
}

// The whole file is written anew beside the old one and takes its place in one rename:
// a save cut short at any point leaves every checklist as it was or as it is now.
bool Core::save_checklist() {
    QFile f;
    auto file_error = [&](const QString& why) {
        show_message(msg_error, QStringLiteral("Writing Checklist file: ") + message_path(chklist_filename) +
                                    QStringLiteral("  error...") + why);
        return false;
    };
    if (checklists_refused) return file_error(QStringLiteral("the file was refused when it was read; it is left as it is"));
    if (restore_left_unfinished()) return false;
    if (!open_record_file(f, chklist_filename)) return file_error(last_file_error());
    qint64 size = 0;
    if (!file_size(f, size)) return file_error(last_file_error());
    if (size > kMaxChecklistFileBytes) return file_error(too_large(size) + QStringLiteral("; it is left as it is"));
    // Records not in the table (deleted ones) are carried over as they are.
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError || bytes.size() != size) return file_error(f.errorString());
    f.close();

    int32_t next = int32_t(size / kChecklistRecordSize) + 1;
    std::vector<int32_t> numbered;
    auto take_back_numbers = [&] {
        for (int32_t i : numbered) Checklists[i].file_idx = 0;
    };
    bool all_written = true;
    for (int32_t i = 0; i <= maxChecklists_index(); ++i) {
        Checklist& cl = Checklists[i];
        if (cl.Inuse != kTrue) continue;
        int32_t number = cl.file_idx;
        if (number == 0) {
            number = next++;
            cl.file_idx = number;
            numbered.push_back(i);
        }
        if (number < 1 || number > next) {
            show_message(msg_error, QStringLiteral("Not all Data saved. File Checklist Index out of Range. Index, i: ") +
                                        QString::number(number) + u',' + QString::number(i));
            all_written = false;
            continue;
        }
        const qint64 at = qint64(number - 1) * kChecklistRecordSize;
        if (at + kChecklistRecordSize > kMaxChecklistFileBytes) {
            take_back_numbers();
            return file_error(QStringLiteral("the file would grow past its limit of ") +
                              QString::number(kMaxChecklistFileBytes) + QStringLiteral(" bytes; nothing was written"));
        }
        // A partial record at the end is no record: a new one is written over it.
        if (bytes.size() < at + kChecklistRecordSize) bytes.resize(at + kChecklistRecordSize);
        const QByteArray record = encode_checklist(cl, number);
        std::memcpy(bytes.data() + at, record.constData(), size_t(kChecklistRecordSize));
    }
    bool renamed = false;
    QString why;
    if (!replace_data_file(data_path(chklist_filename), bytes, renamed, why)) {
        // Once the new file is in place, its records carry the numbers given.
        if (!renamed) take_back_numbers();
        return file_error(why);
    }
    return all_written;
}

} // namespace qb
