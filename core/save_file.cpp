#include "core/save_file.h"

#include "core/file_io.h"

#include <QFileInfo>
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

namespace {

// A link stays a link: the file it names is the one replaced.
QString replaced_file(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

} // namespace

QString replacement_path(const QString& path) { return replaced_file(path) + QStringLiteral(".new"); }

bool replace_data_file(const QString& path, const QByteArray& bytes, bool& renamed, QString& error) {
    renamed = false;
    const QString target = replaced_file(path);
    const QString temp = replacement_path(path);
    QFile out(temp);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        error = out.errorString();
        return false;
    }
    if (QFileInfo::exists(target)) out.setPermissions(QFile::permissions(target));
    bool ok = write_at(out, 0, bytes) && sync_file(out);
    out.close();
    if (ok) ok = renamed = rename_file(temp, target);
    if (ok) ok = sync_folder(QFileInfo(target).absolutePath());
    if (ok) return true;
    error = last_file_error();
    if (!renamed) remove_file(temp);
    return false;
}

} // namespace qb
