#include "core/file_io.h"

#include "core/save_journal.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {
namespace {

FileFault* g_fault = nullptr;
QString g_last_error;

bool fail_with(int err) {
    g_last_error = QString::fromLocal8Bit(std::strerror(err));
    return false;
}

bool fail_with(const QFile& f) {
    g_last_error = f.errorString();
    return false;
}

bool change_allowed(FileOp op, const QString& path) {
    if (g_fault && !g_fault->allow_op(op, path)) return fail_with(g_fault->error_number());
    return true;
}

int real_descriptor(FileOp op, const QFile& f) {
    return g_fault ? g_fault->real_descriptor(op, f.fileName(), f.handle()) : f.handle();
}

} // namespace

void set_file_fault(FileFault* fault) { g_fault = fault; }

QString last_file_error() { return g_last_error; }

bool file_size(const QFile& f, qint64& size) {
    g_last_error.clear();
    struct stat st {};
    if (g_fault && !g_fault->allow_size(f.fileName())) return fail_with(g_fault->error_number());
    if (f.handle() < 0) return fail_with(EBADF);
    if (::fstat(real_descriptor(FileOp::size, f), &st) != 0) return fail_with(errno);
    size = st.st_size;
    return true;
}

bool file_size_at(const QString& path, qint64& size) {
    g_last_error.clear();
    struct stat st {};
    if (g_fault && !g_fault->allow_size(path)) return fail_with(g_fault->error_number());
    const QString real = g_fault ? g_fault->real_path(FileOp::size, path) : path;
    if (::stat(QFile::encodeName(real).constData(), &st) == 0) {
        size = st.st_size;
        return true;
    }
    if (errno != ENOENT) return fail_with(errno);
    size = 0;
    return true;
}

bool write_at(QFile& f, qint64 offset, const QByteArray& bytes) {
    g_last_error.clear();
    if (SaveJournal* j = SaveJournal::active(); j && !j->before_write(f, offset, bytes.size())) return false;
    qint64 allowed = bytes.size();
    if (g_fault) allowed = std::clamp<qint64>(g_fault->allow_write(f.fileName(), offset, bytes.size()), 0, bytes.size());
    if (!f.seek(offset)) return fail_with(f);
    // A short count carries no reason; writing the rest then fails with it (no space left).
    for (qint64 done = 0; done < allowed;) {
        const qint64 n = f.write(bytes.constData() + done, allowed - done);
        if (n <= 0) return fail_with(f);
        done += n;
    }
    if (allowed < bytes.size()) return fail_with(g_fault->error_number());
    return true;
}

bool resize_file(QFile& f, qint64 size) {
    g_last_error.clear();
    if (!change_allowed(FileOp::resize, f.fileName())) return false;
    if (f.handle() < 0) return fail_with(EBADF);
    if (::ftruncate(real_descriptor(FileOp::resize, f), off_t(size)) != 0) return fail_with(errno);
    return true;
}

bool sync_file(QFile& f) {
    g_last_error.clear();
    if (!change_allowed(FileOp::sync_file, f.fileName())) return false;
    if (f.handle() < 0) return fail_with(EBADF);
    if (::fsync(f.handle()) != 0) return fail_with(errno);
    return true;
}

bool remove_file(const QString& path) {
    g_last_error.clear();
    if (!change_allowed(FileOp::remove, path)) return false;
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) return fail_with(errno);
    return true;
}

bool sync_folder(const QString& folder) {
    g_last_error.clear();
    if (!change_allowed(FileOp::sync_folder, folder)) return false;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return fail_with(errno);
    const bool ok = ::fsync(fd) == 0;
    const int err = errno;
    ::close(fd);
    return ok ? true : fail_with(err);
}

bool rename_file(const QString& from, const QString& to) {
    g_last_error.clear();
    if (!change_allowed(FileOp::rename, from)) return false;
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) return fail_with(errno);
    return true;
}

QString not_regular(mode_t mode) {
    if (S_ISREG(mode)) return {};
    if (S_ISDIR(mode)) return QString::fromLocal8Bit(std::strerror(EISDIR));
    if (S_ISFIFO(mode)) return QStringLiteral("Not a regular file but a named pipe (FIFO)");
    if (S_ISSOCK(mode)) return QStringLiteral("Not a regular file but a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("Not a regular file but a device");
    return QStringLiteral("Not a regular file");
}

QString not_regular_at(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return not_regular(st.st_mode);
}

bool open_file(QFile& f, QIODevice::OpenMode mode) {
    g_last_error.clear();
    // Looked at before it is opened: opening a device can act on it. A file that takes the
    // checked one's place in between is seen on the descriptor below.
    if (const QString why = not_regular_at(f.fileName()); !why.isEmpty()) {
        g_last_error = why;
        return false;
    }
    if (!f.open(mode)) return fail_with(f);
    struct stat st {};
    if (::fstat(f.handle(), &st) != 0) {
        const int err = errno;
        f.close();
        return fail_with(err);
    }
    if (const QString why = not_regular(st.st_mode); !why.isEmpty()) {
        f.close();
        g_last_error = why;
        return false;
    }
    return true;
}

} // namespace qb
