#include "core/save_file.h"

#include "core/file_io.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

namespace qb {
namespace {

// A link stays a link: the file it names is the one replaced.
QString replaced_file(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

} // namespace

bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QString target = replaced_file(path);
    const QFileInfo old(target);
    if (old.isDir()) return fail(QString::fromLocal8Bit(std::strerror(EISDIR)));
    if (old.exists() && !old.isWritable()) return fail(QString::fromLocal8Bit(std::strerror(EACCES)));
    // A name of its own beside the target, so that one rename replaces it. Over an old file
    // nobody else may read it until it has that file's permissions.
    const QFile::Permissions mode = old.exists() ? QFile::ReadOwner | QFile::WriteOwner
                                                 : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                       QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QFile out;
    for (int tries = 1;; ++tries) {
        out.setFileName(target + u'.' + QString::number(QRandomGenerator::global()->generate(), 36));
        if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, mode)) break;
        if (tries == 10 || !QFileInfo::exists(out.fileName())) return fail(out.errorString());
    }
    if (old.exists()) out.setPermissions(old.permissions());
    bool ok = write_at(out, 0, bytes) && sync_file(out);
    out.close();
    if (ok) ok = rename_file(out.fileName(), target);
    if (ok) return true;
    const QString why = last_file_error();
    remove_file(out.fileName());
    return fail(why);
}

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
