#pragma once
// Every change to a data file passes here. Writes are unbuffered and checked where they
// happen, sizes come from the file system (never 0 for "could not tell"), and a write
// that overwrites stored bytes during a save is journalled first (core/save_journal.h).
#include <QByteArray>
#include <QFile>
#include <QString>
#include <sys/types.h>

namespace qb {

// What is done to a file, named so that a test can follow the order of a save's steps.
enum class FileOp { write, sync_file, sync_folder, rename, remove, resize, size };

// Stands in for the device in tests: a disk that fills up, a size limit, a process
// killed part way through a save.
class FileFault {
public:
    virtual ~FileFault() = default;
    // How many of the len bytes written at offset reach the file; fewer fails the write
    // after those bytes, as a full disk does.
    virtual qint64 allow_write(const QString& path, qint64 offset, qint64 len) = 0;
    // false fails a resize, sync or removal.
    virtual bool allow_change(const QString& path) = 0;
    // The errno a refused operation reports.
    virtual int error_number() const = 0;
    // false makes reading the file's size fail.
    virtual bool allow_size(const QString&) { return true; }
    // allow_change, told which operation asks: sync, removal, resize.
    virtual bool allow_op(FileOp, const QString& path) { return allow_change(path); }
    // The descriptor or path that the real system call of a size read or resize gets:
    // a test hands one that makes the call itself fail, so that the program meets the
    // system's own error.
    virtual int real_descriptor(FileOp, const QString&, int fd) { return fd; }
    virtual QString real_path(FileOp, const QString& path) { return path; }
};
// nullptr: the real device only. Not owned.
void set_file_fault(FileFault* fault);

// The platform's description of the last failed operation below; "" after a success.
QString last_file_error();

// false when the size cannot be read; a missing file has size 0 only in file_size_at.
bool file_size(const QFile& f, qint64& size);
bool file_size_at(const QString& path, qint64& size);
bool write_at(QFile& f, qint64 offset, const QByteArray& bytes);
bool resize_file(QFile& f, qint64 size);
bool sync_file(QFile& f);
bool remove_file(const QString& path);
bool sync_folder(const QString& folder);
// Renames over an existing file in one step: the path names the old file or the new one.
bool rename_file(const QString& from, const QString& to);

// Why a file of this kind (st_mode) is no file to read or write; "" for a regular file.
QString not_regular(mode_t mode);
// The same for what stands at path, links followed; "" also when nothing is there.
QString not_regular_at(const QString& path);
// Opens f by its name (the save journal and the fault tests know a data file by it) when it
// is a regular file, a link to one, or, for writing, not there yet. A FIFO or a device in its
// place would hold open() until something reads or answers it, and neither they nor a
// socket or a folder are read or written through: refused, looked at before the open and
// again on what was opened. false with the reason in last_file_error().
bool open_file(QFile& f, QIODevice::OpenMode mode);

} // namespace qb
