#include "core/save_file.h"

#include <QSaveFile>

namespace qb {

bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile out(path);
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    // A short write is retried for the rest: the retry fails with the platform's reason
    // (no space left, file too large) where the short count alone gives none.
    for (qint64 done = 0; ok && done < bytes.size();) {
        const qint64 n = out.write(bytes.constData() + done, bytes.size() - done);
        ok = n > 0;
        done += std::max<qint64>(n, 0);
    }
    if (ok && out.commit()) return true;
    if (error) *error = out.errorString();
    out.cancelWriting();
    return false;
}

} // namespace qb
