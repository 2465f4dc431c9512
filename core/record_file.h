#pragma once
// Random access to a file of fixed-length records numbered from 1.
#include "core/file_io.h"

#include <QByteArray>
#include <QFile>

namespace qb {

// Whole records only: a partial tail is not a record, and the next new record
// overwrites it.
inline int32_t record_count(const QFile& f, int size) { return int32_t(f.size() / size); }
// The same for a file being written: false when the size cannot be read.
inline bool record_count(const QFile& f, int size, int32_t& count) {
    qint64 bytes = 0;
    if (!file_size(f, bytes)) return false;
    count = int32_t(bytes / size);
    return true;
}

inline bool read_record(QFile& f, int size, int32_t n, QByteArray& out) {
    if (n < 1 || !f.seek(qint64(n - 1) * size)) return false;
    out = f.read(size);
    return out.size() == size;
}

// Unbuffered and checked at once: a record is written when this returns true.
inline bool write_record(QFile& f, int size, int32_t n, const QByteArray& bytes) {
    if (n < 1 || bytes.size() != size) return false;
    return write_at(f, qint64(n - 1) * size, bytes);
}

// The platform's description of the last error on the file, "" when there was none.
inline QString error_text(const QFile& f) {
    const QString last = last_file_error();
    if (!last.isEmpty()) return last;
    return f.error() == QFileDevice::NoError ? QString() : f.errorString();
}

} // namespace qb
