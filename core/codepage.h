#pragma once
// Windows-1252 text, one byte per character, as the data files store it.
#include <QByteArray>
#include <QString>

namespace qb {

QString decode_cp1252(const char* data, qsizetype size);
inline QString decode_cp1252(const QByteArray& b) { return decode_cp1252(b.constData(), b.size()); }
// Characters the code page cannot hold become '?'.
QByteArray encode_cp1252(const QString& text);

// Trims blanks (0x20 only) at both ends, as the stored texts are padded.
QString trim_blanks(const QString& text);

} // namespace qb
