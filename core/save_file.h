#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

namespace qb {

// Replaces a whole file (a report, an export, pref.dat) through a temporary one beside it,
// written, synced and renamed over it through core/file_io: any failure leaves the old file
// as it was and removes the temporary one. The old file's permissions are kept; a link
// stays a link (through a chain of links, the file at its end is replaced). A short write
// (disk full, size limit) fails with the platform's reason; a folder, a FIFO, a device or a
// socket in the file's place is refused, never opened.
bool save_whole_file(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same with a copy of the file from.
bool copy_whole_file(const QString& from, const QString& to, QString* error = nullptr);
// What is left of from, written into to from its start through core/file_io, then synced.
bool copy_file_data(QFile& from, QFile& to, QString& why);

// Replaces a data file of the program folder: the bytes go to a file beside it, which is
// synced and renamed over it, then the folder is synced. Every step passes core/file_io,
// so a process killed at any point leaves the old file or the new one, and a full disk
// fails before the old file is touched. renamed: the new file took the old one's place
// (it may then still fail, when the folder cannot be synced).
bool replace_data_file(const QString& path, const QByteArray& bytes, bool& renamed, QString& error);

// The file beside path that replace_data_file writes before its rename.
QString replacement_path(const QString& path);

// Opens path (a regular file, or a link to one) without waiting: a FIFO or a device in its
// place would hold open() until something reads or answers it, so those, sockets and
// folders are refused with why. mode as for QFile::open (writing creates a missing file).
bool open_regular_file(QFile& file, const QString& path, QIODevice::OpenMode mode, QString& why);

// The temporary files of whole-file saves are hidden and carry a mark of their own
// (".pref.dat.qbsave-0123abcd"), so that a start can tell one a kill left behind from a
// user's file. True for such a name.
bool is_save_leftover(const QString& file_name);
// Removes the leftovers of whole-file saves among the regular files of folder (not below
// it); links, folders and every other name are left alone.
void remove_save_leftovers(const QString& folder);

} // namespace qb
