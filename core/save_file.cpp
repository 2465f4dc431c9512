#include "core/save_file.h"

#include <QSaveFile>

namespace qb {

bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && out.write(bytes) == bytes.size() && out.commit())
        return true;
    if (error) *error = out.errorString();
    out.cancelWriting();
    return false;
}

} // namespace qb
