#pragma once
// Little-endian field access inside a fixed-length record buffer.
#include "core/codepage.h"

#include <QByteArray>
#include <QtEndian>
#include <cstring>
#include <string_view>

namespace qb {

class RecordWriter {
public:
    explicit RecordWriter(int size) : buf_(size, '\0') {}
    void i16(int off, int16_t v) { qToLittleEndian<int16_t>(v, ptr(off)); }
    void i32(int off, int32_t v) { qToLittleEndian<int32_t>(v, ptr(off)); }
    void i64(int off, int64_t v) { qToLittleEndian<int64_t>(v, ptr(off)); }
    void u8(int off, uint8_t v) { buf_[off] = char(v); }
    void f64(int off, double v) {
        quint64 bits;
        std::memcpy(&bits, &v, 8);
        qToLittleEndian<quint64>(bits, ptr(off));
    }
    // Fixed-width text: cut to the width, blank-padded.
    void text(int off, int width, const QString& s) {
        const QByteArray b = encode_cp1252(s.left(width));
        std::memset(ptr(off), ' ', width);
        std::memcpy(ptr(off), b.constData(), b.size());
    }
    const QByteArray& bytes() const { return buf_; }

private:
    char* ptr(int off) { return buf_.data() + off; }
    QByteArray buf_;
};

class RecordReader {
public:
    explicit RecordReader(const QByteArray& b) : data_(b.constData()) {}
    explicit RecordReader(const char* record) : data_(record) {}
    int16_t i16(int off) const { return qFromLittleEndian<int16_t>(ptr(off)); }
    int32_t i32(int off) const { return qFromLittleEndian<int32_t>(ptr(off)); }
    int64_t i64(int off) const { return qFromLittleEndian<int64_t>(ptr(off)); }
    uint8_t u8(int off) const { return uint8_t(data_[off]); }
    double f64(int off) const {
        const quint64 bits = qFromLittleEndian<quint64>(ptr(off));
        double v;
        std::memcpy(&v, &bits, 8);
        return v;
    }
    QString raw_text(int off, int width) const { return decode_cp1252(ptr(off), width); }
    // Trimmed of blanks; only the trimmed bytes are decoded, so a blank field costs nothing.
    QString text(int off, int width) const {
        const std::string_view v = trimmed(off, width);
        return v.empty() ? QString() : decode_cp1252(v.data(), qsizetype(v.size()));
    }
    // The bytes of a text field without its blanks at either end. The fields are mostly
    // padding, so the blanks are skipped eight at a time.
    std::string_view trimmed(int off, int width) const {
        const char* p = ptr(off);
        constexpr uint64_t kBlanks = 0x2020202020202020ull;
        int b = 0, e = width;
        while (e - b >= 8 && word(p + e - 8) == kBlanks) e -= 8;
        while (e > b && p[e - 1] == ' ') --e;
        while (e - b >= 8 && word(p + b) == kBlanks) b += 8;
        while (b < e && p[b] == ' ') ++b;
        return std::string_view(p + b, size_t(e - b));
    }

private:
    const char* ptr(int off) const { return data_ + off; }
    static uint64_t word(const char* p) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        return w;
    }
    const char* data_;
};

} // namespace qb
