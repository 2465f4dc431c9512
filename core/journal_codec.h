#pragma once
// Framing of the program's own journals: a block is a magic, its body's length, the body
// and the body's hash, so that a torn or damaged block is told from a whole one.
#include <QByteArray>
#include <QtEndian>

namespace qb::journal_codec {

// FNV-1a: enough to tell a torn write from a whole one.
inline quint64 hash_of(const char* p, qsizetype n) {
    quint64 h = 14695981039346656037ull;
    for (qsizetype i = 0; i < n; ++i) {
        h ^= uchar(p[i]);
        h *= 1099511628211ull;
    }
    return h;
}

template <typename T>
void put(QByteArray& b, T v) {
    char raw[sizeof(T)];
    qToLittleEndian<T>(v, raw);
    b.append(raw, sizeof(T));
}

inline QByteArray frame(const QByteArray& magic, const QByteArray& body) {
    QByteArray out = magic;
    put<quint32>(out, quint32(body.size()));
    out += body;
    put<quint64>(out, hash_of(body.constData(), body.size()));
    return out;
}

class Reader {
public:
    explicit Reader(const QByteArray& b) : b_(b) {}
    template <typename T>
    bool get(T& v) {
        if (pos_ + qsizetype(sizeof(T)) > b_.size()) return false;
        v = qFromLittleEndian<T>(b_.constData() + pos_);
        pos_ += sizeof(T);
        return true;
    }
    bool bytes(qsizetype n, QByteArray& out) {
        if (n < 0 || pos_ + n > b_.size()) return false;
        out = b_.mid(pos_, n);
        pos_ += n;
        return true;
    }
    qsizetype pos() const { return pos_; }
    bool at_end() const { return pos_ == b_.size(); }

private:
    const QByteArray& b_;
    qsizetype pos_ = 0;
};

// One framed block; false for a torn or damaged one.
inline bool read_block(Reader& r, const QByteArray& magic, QByteArray& body) {
    QByteArray m;
    quint32 n = 0;
    quint64 h = 0;
    if (!r.bytes(magic.size(), m) || m != magic || !r.get(n) || !r.bytes(qsizetype(n), body) || !r.get(h)) return false;
    return hash_of(body.constData(), body.size()) == h;
}

} // namespace qb::journal_codec
