#include "core/core.h"
#include "core/record_file.h"
#include "core/record_io.h"

#include <QSet>

namespace qb {
namespace {

constexpr int kMaxRounds = kVarDataMaxChain + 1;

struct VarRec {
    Flag Inuse = 0;
    uint8_t format_byte = 0;
    int32_t index_to_owner = 0;
    int32_t Index_to_next = 0;
    QString data;  // untrimmed
};

QByteArray encode(const VarRec& r) {
    RecordWriter w(kVarDataRecordSize);
    w.i16(0, r.Inuse);
    w.u8(2, r.format_byte);
    w.i32(3, r.index_to_owner);
    w.i32(7, r.Index_to_next);
    w.text(11, kVarDataChunk, r.data);
    return w.bytes();
}

VarRec decode(const QByteArray& b) {
    RecordReader r(b);
    return {r.i16(0), r.u8(2), r.i32(3), r.i32(7), r.raw_text(11, kVarDataChunk)};
}

} // namespace

bool Core::open_vardata(QFile& file) {
    file.setFileName(data_path(vardata_filename));
    return open_file(file, QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool Core::open_vardata_for_reading(QFile& file) {
    file.setFileName(data_path(vardata_filename));
    return open_file(file, QIODevice::ReadOnly);
}

void Core::set_next_vardata_index() {
    QFile f;
    const bool opened = open_for_loading(f, vardata_filename);
    qint64 size = 0;
    if (!opened && !f.exists() && folder_unwritable_reported) {
        next_vardata_index = 1;  // an empty store that cannot be created; the user was told
        return;
    }
    if (!opened || !file_size(f, size)) {
        show_message(msg_error, QStringLiteral("Unable to Open VarData Data File: ") + message_path(vardata_filename));
        next_vardata_index = 0;
        return;
    }
    next_vardata_index = int32_t(size / kVarDataRecordSize) + 1;
}

void Core::clamp_vardata_index(int32_t& index) const {
    if (index < 1 || index > next_vardata_index) index = next_vardata_index;
}

bool Core::write_vardata(QFile& f, int32_t& index, const QString& text) {
    if (index < 1 || index > next_vardata_index) {
        show_message(msg_debug_data, QStringLiteral("Index into write_vardata out of range : ") + QString::number(index));
        return false;
    }
    if (text.isEmpty()) return false;

    int chunks = int((text.size() + kVarDataChunk - 1) / kVarDataChunk);
    if (chunks > kVarDataMaxChain) {
        show_message(msg_debug_data,
                     QStringLiteral("VarData String Length too large. Truncating. Value: ") + QString::number(chunks));
        chunks = kVarDataMaxChain;
    }
    const int32_t owner = current_entry.entry.file_idx;
    auto chunk = [&](int k) { return text.mid(qsizetype(k) * kVarDataChunk, kVarDataChunk); };
    auto fail = [&]() {
        show_message(msg_error, QStringLiteral("Unable to Write to VarData Data File: ") + message_path(vardata_filename) +
                                    QStringLiteral(" Error: ") + error_text(f));
        return false;
    };
    // A size that cannot be read is a failed write, never a reason to renumber the store.
    int32_t count = 0;
    if (!record_count(f, kVarDataRecordSize, count)) return fail();
    auto put = [&](int32_t pos, int32_t next, const QString& data) {
        return write_record(f, kVarDataRecordSize, pos, encode({kTrue, 1, owner, next, data}));
    };

    if (index > count) {
        if (!(index == count + 1 && index == next_vardata_index)) {
            show_message(msg_debug_data, QStringLiteral("VarData index error. new index <> last_index + 1"));
            index = count + 1;
            next_vardata_index = index;
        }
        for (int k = 0; k < chunks; ++k) {
            const int32_t next = (k == chunks - 1) ? 0 : next_vardata_index + 1;
            if (!put(next_vardata_index, next, chunk(k))) return fail();
            ++next_vardata_index;
        }
        return true;
    }

    // In place: follow the old chain while writing; a cycle in a damaged chain is
    // not followed back into records this call already wrote.
    int32_t pos = index, cur = index, next_old = 0;
    bool following = true;
    QSet<int32_t> visited{index};
    for (int k = 0; k < chunks && k < kMaxRounds; ++k) {
        if (following) {
            QByteArray b;
            if (!read_record(f, kVarDataRecordSize, cur, b)) return fail();
            next_old = decode(b).Index_to_next;
            following = next_old > 0 && next_old <= count && next_old != cur && !visited.contains(next_old);
            if (!following) next_old = 0;
        }
        const bool last = (k == chunks - 1);
        const int32_t next = last ? 0 : (next_old > 0 ? next_old : next_vardata_index);
        if (!put(pos, next, chunk(k))) return fail();
        if (last) {
            // Free the surplus of the old chain.
            for (int freed = 0; next_old > 0 && freed < kMaxRounds; ++freed) {
                QByteArray b;
                if (!read_record(f, kVarDataRecordSize, next_old, b)) return fail();
                VarRec r = decode(b);
                const int32_t rem = r.Index_to_next;
                r.Inuse = 0;
                r.Index_to_next = 0;
                r.data = QStringLiteral("Free");
                if (!write_record(f, kVarDataRecordSize, next_old, encode(r))) return fail();
                visited.insert(next_old);
                next_old = (rem >= 1 && rem <= count && !visited.contains(rem)) ? rem : 0;
            }
            return true;
        }
        if (following) {
            cur = pos = next_old;
        } else {
            pos = next_vardata_index;
            ++next_vardata_index;
        }
        visited.insert(pos);
    }
    return true;
}

bool Core::read_vardata(QFile& f, int32_t index, QString& text, uint8_t& format, int32_t& owner, bool quiet) {
    text.clear();
    format = 0;
    owner = 0;
    if (index < 1 || index > next_vardata_index - 1) {
        show_message(msg_debug_data, QStringLiteral("Index into write_vardata out of range : ") + QString::number(index));
        return false;
    }
    auto failed = [&]() {
        show_message(quiet ? msg_debug_data : msg_error, QStringLiteral("Unable to Read to VarData Data File: ") +
                                    message_path(vardata_filename) + QStringLiteral(" Error: ") +
                                    (error_text(f).isEmpty() ? QStringLiteral("Input past end of file") : error_text(f)));
        return false;
    };
    // A size that cannot be read would end every chain after its first record.
    int32_t count = 0;
    if (!record_count(f, kVarDataRecordSize, count)) return failed();
    QString collected;
    QSet<int32_t> visited;
    int32_t cur = index;
    for (int round = 0; round < kMaxRounds; ++round) {
        QByteArray b;
        if (!read_record(f, kVarDataRecordSize, cur, b)) return failed();
        visited.insert(cur);
        const VarRec r = decode(b);
        if (round == 0) {
            owner = r.index_to_owner;
        } else if (r.index_to_owner != owner) {
            show_message(msg_debug_data, QStringLiteral("VarData Owner inconsistency. Record: ") + QString::number(cur) +
                                             QStringLiteral(" Index's ") + QString::number(owner) + QStringLiteral(", ") +
                                             QString::number(r.index_to_owner));
        }
        format = r.format_byte;
        collected += r.data;
        const int32_t next = r.Index_to_next;
        if (next <= 0 || next == cur || next > count || visited.contains(next)) break;
        cur = next;
    }
    text = trim_blanks(collected);
    return true;
}

} // namespace qb
