#include "core/codepage.h"

#include <QHash>

namespace qb {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes (kept as C1 controls).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

const QHash<char16_t, char>& reverse_table() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 32; ++i)
            if (kHigh[i]) t.insert(kHigh[i], char(0x80 + i));
        return t;
    }();
    return table;
}

} // namespace

QString decode_cp1252(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b <= 0x9F && kHigh[b - 0x80])
            d[i] = QChar(kHigh[b - 0x80]);
        else
            d[i] = QChar(b);
    }
    return out;
}

QByteArray encode_cp1252(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c >= 0x80 && c <= 0x9F && !kHigh[c - 0x80])) {
            d[i] = char(c);
        } else {
            auto it = reverse_table().constFind(c);
            d[i] = it != reverse_table().constEnd() ? *it : '?';
        }
    }
    return out;
}

QString trim_blanks(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == u' ') ++b;
    while (e > b && text.at(e - 1) == u' ') --e;
    return (b == 0 && e == text.size()) ? text : text.mid(b, e - b);
}

} // namespace qb
