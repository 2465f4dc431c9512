#pragma once
// Random access to a file of fixed-length records numbered from 1.
#include <QByteArray>
#include <QFile>

namespace qb {

// Whole records only: a partial tail is not a record, and the next new record
// overwrites it.
inline int32_t record_count(const QFile& f, int size) { return int32_t(f.size() / size); }

inline bool read_record(QFile& f, int size, int32_t n, QByteArray& out) {
    if (n < 1 || !f.seek(qint64(n - 1) * size)) return false;
    out = f.read(size);
    return out.size() == size;
}

inline bool write_record(QFile& f, int size, int32_t n, const QByteArray& bytes) {
    if (n < 1 || bytes.size() != size || !f.seek(qint64(n - 1) * size)) return false;
    return f.write(bytes) == size;
}

// The platform's description of the last error on the file, "" when there was none.
inline QString error_text(const QFile& f) {
    return f.error() == QFileDevice::NoError ? QString() : f.errorString();
}

} // namespace qb
