#pragma once
#include <QByteArray>
#include <QString>

namespace qb {

// Replaces a whole file through a temporary one. A short write (disk full, size limit)
// is caught here: buffered QSaveFile writes can lose it and still commit.
bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace qb
