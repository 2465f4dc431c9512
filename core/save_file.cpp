#include "core/save_file.h"

#include "core/file_io.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit before ELOOP
constexpr int kMaxNameBytes = 255;
const QString kSaveMark = QStringLiteral(".qbsave-");

QString error_string(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// A link stays a link: the file at the end of the links is the one replaced. QFileInfo's
// symLinkTarget() follows one link only.
QString replaced_file(const QString& path) {
    QString target = path;
    for (int hops = 0; hops < kMaxLinkHops && QFileInfo(target).isSymLink(); ++hops)
        target = QFileInfo(target).symLinkTarget();
    return target;
}

// A temporary name beside target: hidden, marked, random.
QString temporary_beside(const QString& target) {
    const QFileInfo info(target);
    const QString suffix =
        kSaveMark + QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0'));
    QString name = info.fileName();
    // Beside a name at the file system's limit, the temporary takes a shorter one.
    while (!name.isEmpty() && QFile::encodeName(u'.' + name + suffix).size() > kMaxNameBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate()) name.chop(1);
    }
    return info.absolutePath() + QStringLiteral("/.") + name + suffix;
}

// The whole file through a temporary one beside it, which fill writes; see save_whole_file.
bool write_whole_file(const QString& path, const std::function<bool(QFile&, QString&)>& fill, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QString target = replaced_file(path);
    struct stat st {};
    if (::lstat(QFile::encodeName(target).constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) return fail(error_string(ELOOP));
        if (const QString why = not_regular(st.st_mode); !why.isEmpty()) return fail(why);
    }
    const QFileInfo old(target);
    if (old.exists() && !old.isWritable()) return fail(error_string(EACCES));
    // A name of its own beside the target, so that one rename replaces it. Over an old file
    // nobody else may read it until it has that file's permissions.
    const QFile::Permissions mode = old.exists() ? QFile::ReadOwner | QFile::WriteOwner
                                                 : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                       QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QFile out;
    for (int tries = 1;; ++tries) {
        out.setFileName(temporary_beside(target));
        if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered, mode)) break;
        if (tries == 10 || !QFileInfo::exists(out.fileName())) return fail(out.errorString());
    }
    if (old.exists()) out.setPermissions(old.permissions());
    QString why;
    bool ok = fill(out, why);
    out.close();
    if (ok && !rename_file(out.fileName(), target)) {
        ok = false;
        why = last_file_error();
    }
    if (ok) return true;
    remove_file(out.fileName());
    return fail(why);
}

} // namespace

bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error) {
    return write_whole_file(path, [&](QFile& out, QString& why) {
        if (write_at(out, 0, bytes) && sync_file(out)) return true;
        why = last_file_error();
        return false;
    }, error);
}

bool copy_file_data(QFile& from, QFile& to, QString& why) {
    constexpr qint64 kChunk = qint64(1) << 20;
    for (qint64 at = 0; !from.atEnd();) {
        const QByteArray chunk = from.read(kChunk);
        if (from.error() != QFileDevice::NoError) {
            why = from.errorString();
            return false;
        }
        if (!write_at(to, at, chunk)) {
            why = last_file_error();
            return false;
        }
        at += chunk.size();
    }
    if (sync_file(to)) return true;
    why = last_file_error();
    return false;
}

bool copy_whole_file(const QString& from, const QString& to, QString* error) {
    QFile in;
    QString why;
    if (!open_regular_file(in, from, QIODevice::ReadOnly, why)) {
        if (error) *error = why;
        return false;
    }
    return write_whole_file(to, [&](QFile& out, QString& why) { return copy_file_data(in, out, why); }, error);
}

QString replacement_path(const QString& path) { return replaced_file(path) + QStringLiteral(".new"); }

bool open_regular_file(QFile& file, const QString& path, QIODevice::OpenMode mode, QString& why) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    // Looked at before it is opened: opening a device can act on it.
    if (::stat(name.constData(), &st) == 0) {
        why = not_regular(st.st_mode);
        if (!why.isEmpty()) return false;
    }
    int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (mode & QIODevice::WriteOnly) {
        flags |= (mode & QIODevice::ReadOnly) ? O_RDWR : O_WRONLY;
        flags |= O_CREAT;
        if (mode & QIODevice::Append) flags |= O_APPEND;
        if (mode & QIODevice::Truncate) flags |= O_TRUNC;
    } else {
        flags |= O_RDONLY;
    }
    const int fd = ::open(name.constData(), flags, 0666);
    if (fd < 0) {
        why = error_string(errno);
        return false;
    }
    // What was opened may have taken the checked file's place since.
    if (::fstat(fd, &st) != 0) {
        why = error_string(errno);
    } else {
        why = not_regular(st.st_mode);
    }
    // Reads and writes of a regular file wait for the disk as usual.
    if (why.isEmpty() && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) why = error_string(errno);
    if (why.isEmpty() && !file.open(fd, mode, QFileDevice::AutoCloseHandle)) why = file.errorString();
    if (why.isEmpty()) return true;
    if (!file.isOpen()) ::close(fd);
    return false;
}

bool is_save_leftover(const QString& file_name) {
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("\\..+\\.qbsave-[0-9a-f]{8}")),
        QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(file_name).hasMatch();
}

void remove_save_leftovers(const QString& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(QFile::encodeName(folder).toStdString()), ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code kind_ec;
        if (it->symlink_status(kind_ec).type() != fs::file_type::regular) continue;
        const QString name = QFile::decodeName(QByteArray::fromStdString(it->path().filename().string()));
        if (is_save_leftover(name)) remove_file(QFile::decodeName(QByteArray::fromStdString(it->path().string())));
    }
}

bool replace_data_file(const QString& path, const QByteArray& bytes, bool& renamed, QString& error) {
    renamed = false;
    const QString target = replaced_file(path);
    const QString temp = replacement_path(path);
    // The rename would put a file in place of a FIFO or a device (or of what a link names).
    if (const QString why = not_regular_at(target); !why.isEmpty()) {
        error = why;
        return false;
    }
    QFile out(temp);
    if (!open_file(out, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        error = last_file_error();
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
