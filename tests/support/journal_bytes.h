#pragma once
// A save journal built by hand, as a save would write its head: framed and hashed, naming
// files with their sizes before the save, with no saved bytes after it. Recovery cuts each
// file it names to that size.
#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <utility>

namespace qb::test {

inline QByteArray journal_cutting(const QList<std::pair<QByteArray, qint64>>& files) {
    auto put = [](QByteArray& b, auto v) {
        char raw[sizeof(v)];
        qToLittleEndian(v, raw);
        b.append(raw, sizeof(v));
    };
    QByteArray body;
    put(body, quint8(files.size()));
    for (const auto& [name, size] : files) {
        put(body, quint16(name.size()));
        body += name;
        put(body, qint64(size));
    }
    QByteArray journal = "QBJ1";
    put(journal, quint32(body.size()));
    journal += body;
    quint64 h = 14695981039346656037ull;  // FNV-1a over the body
    for (char ch : body) h = (h ^ uchar(ch)) * 1099511628211ull;
    put(journal, h);
    return journal;
}

} // namespace qb::test
