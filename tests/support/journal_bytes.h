#pragma once
// Journals built by hand. A save journal, as a save would write its head: framed and hashed, naming
// files with their sizes before the save, with no saved bytes after it. Recovery cuts each
// file it names to that size.
#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <utility>

namespace qb::test {

template <typename T>
void put_le(QByteArray& b, T v) {
    char raw[sizeof(T)];
    qToLittleEndian(v, raw);
    b.append(raw, sizeof(T));
}

// A block of the program's journals: magic, body length, body, FNV-1a hash of the body
// (one off when good_hash is false).
inline QByteArray framed(const QByteArray& magic, const QByteArray& body, bool good_hash = true) {
    QByteArray out = magic;
    put_le(out, quint32(body.size()));
    out += body;
    quint64 h = 14695981039346656037ull;
    for (char ch : body) h = (h ^ uchar(ch)) * 1099511628211ull;
    put_le(out, good_hash ? h : h + 1);
    return out;
}

inline QByteArray journal_cutting(const QList<std::pair<QByteArray, qint64>>& files) {
    const auto put = [](QByteArray& b, auto v) { put_le(b, v); };
    QByteArray body;
    put(body, quint8(files.size()));
    for (const auto& [name, size] : files) {
        put(body, quint16(name.size()));
        body += name;
        put(body, qint64(size));
    }
    return framed("QBJ1", body);
}

// A whole switch record of a file switch: each name replaced by its staged copy, or removed.
inline QByteArray switch_record(const QList<QByteArray>& replaced, const QList<QByteArray>& removed = {}) {
    QByteArray body;
    put_le(body, quint32(replaced.size() + removed.size()));
    for (const QList<QByteArray>* names : {&replaced, &removed})
        for (const QByteArray& name : *names) {
            put_le(body, quint8(names == &replaced ? 1 : 2));
            put_le(body, quint16(name.size()));
            body += name;
        }
    return framed("QBS1", body);
}

} // namespace qb::test
