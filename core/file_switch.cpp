#include "core/file_switch.h"

#include "core/file_io.h"
#include "core/journal_codec.h"
#include "core/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {
namespace {

using namespace journal_codec;

const QString kStagingName = QStringLiteral(".QB_Staging");
const QString kRecordName = QStringLiteral("switch.journal");
const QByteArray kMagic = QByteArrayLiteral("QBS1");
// Far above the record of any real set (a name is about 100 bytes): a larger one is no record of ours.
constexpr qint64 kMaxRecordBytes = qint64(64) << 20;
enum : quint8 { kReplace = 1, kRemove = 2 };

struct Entry {
    quint8 kind = kReplace;
    QString rel;
};

QString error_of(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// What stands at a path, the last name not followed through a link.
enum class Kind { none, folder, file, link, other };

Kind kind_of(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return Kind::none;
    if (S_ISDIR(st.st_mode)) return Kind::folder;
    if (S_ISREG(st.st_mode)) return Kind::file;
    return S_ISLNK(st.st_mode) ? Kind::link : Kind::other;
}

bool is_folder(const QString& path) { return kind_of(path) == Kind::folder; }

// A file of the folder or of one of its direct sub-folders; never a hidden name, so never
// "." or "..", and never the staging folder.
bool valid_rel(const QString& rel) {
    const QStringList parts = rel.split(u'/');
    if (parts.size() > 2) return false;
    for (const QString& p : parts)
        if (p.isEmpty() || p.startsWith(u'.') || p.contains(QChar(0))) return false;
    return true;
}

QString sub_folder_of(const QString& rel) { return rel.contains(u'/') ? rel.section(u'/', 0, 0) : QString(); }

QByteArray encode_record(const std::vector<Entry>& entries) {
    QByteArray body;
    put<quint32>(body, quint32(entries.size()));
    for (const Entry& e : entries) {
        const QByteArray name = e.rel.toUtf8();
        put<quint8>(body, e.kind);
        put<quint16>(body, quint16(name.size()));
        body += name;
    }
    return frame(kMagic, body);
}

bool decode_record(const QByteArray& bytes, std::vector<Entry>& entries) {
    Reader r(bytes);
    QByteArray body;
    if (!read_block(r, kMagic, body) || !r.at_end()) return false;
    Reader b(body);
    quint32 n = 0;
    if (!b.get(n)) return false;
    for (quint32 i = 0; i < n; ++i) {
        Entry e;
        quint16 len = 0;
        QByteArray name;
        if (!b.get(e.kind) || !b.get(len) || !b.bytes(len, name)) return false;
        e.rel = QString::fromUtf8(name);
        if ((e.kind != kReplace && e.kind != kRemove) || !valid_rel(e.rel)) return false;
        entries.push_back(e);
    }
    return b.at_end();
}

// The record as it is on disk; false when there is none or it is not whole.
bool read_record(const QString& path, std::vector<Entry>& entries) {
    // A link is no record of ours, and a pipe would never end.
    if (kind_of(path) != Kind::file) return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxRecordBytes) return false;
    const QByteArray bytes = f.readAll();
    return f.error() == QFileDevice::NoError && decode_record(bytes, entries);
}

// A link in a folder's place is no folder: nothing is written through it.
bool make_folder(const QString& path, QString& why) {
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0 || (errno == EEXIST && is_folder(path))) return true;
    why = error_of(errno == EEXIST ? ENOTDIR : errno) + QStringLiteral(" (") + QDir::toNativeSeparators(path) + u')';
    return false;
}

// source to dest, every byte through the file layer, synced.
bool copy_synced(const QString& source, const QString& dest, const QString& target, QString& why) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        why = in.errorString();
        return false;
    }
    // A new file of its own: never one that stands there already, nor the file a link names.
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
        why = out.errorString();
        return false;
    }
    if (QFileInfo::exists(target)) out.setPermissions(QFile::permissions(target));
    return copy_file_data(in, out, why);
}

bool sync_folders(const QString& root, const QSet<QString>& subs, QString& why) {
    for (const QString& sub : subs)
        if (!sync_folder(root + u'/' + sub)) {
            why = last_file_error();
            return false;
        }
    if (sync_folder(root)) return true;
    why = last_file_error();
    return false;
}

// The staged files take their places; one already in place (its staged copy gone) is left.
// A name that cannot take its staged file is kept as it is: a folder stands there, its
// sub-folder is no folder, or the staging holds no plain file for it (a link is never
// renamed into place). false: a file could not be switched (why); the set may be mixed.
bool apply(const QString& folder, const QString& staging, const std::vector<Entry>& entries, QStringList& kept,
           QString& why) {
    QSet<QString> subs;
    for (const Entry& e : entries) {
        const QString sub = sub_folder_of(e.rel);
        if (!sub.isEmpty()) {
            if (!is_folder(folder + u'/' + sub)) {
                kept << e.rel;
                continue;
            }
            subs.insert(sub);
        }
        const QString target = folder + u'/' + e.rel;
        const Kind stands = kind_of(target);
        if (stands == Kind::folder) {
            kept << e.rel;
            continue;
        }
        bool ok = true;
        if (e.kind == kRemove) {
            ok = stands == Kind::none || remove_file(target);
        } else {
            const bool staged_sub = sub.isEmpty() || is_folder(staging + u'/' + sub);
            const Kind staged = staged_sub ? kind_of(staging + u'/' + e.rel) : Kind::other;
            if (staged == Kind::file)
                ok = rename_file(staging + u'/' + e.rel, target);
            else if (staged != Kind::none || stands == Kind::none)
                kept << e.rel;
        }
        if (!ok) {
            why = last_file_error();
            return false;
        }
    }
    return sync_folders(folder, subs, why);
}

// The names in a folder, opened without following a link in its place.
bool names_in(const QString& folder, QStringList& names, QString& why) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        why = error_of(errno);
        if (fd >= 0) ::close(fd);
        return false;
    }
    int err = 0;
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            err = errno;
            break;
        }
        const QByteArray name(e->d_name);
        if (name != "." && name != "..") names << QFile::decodeName(name);
    }
    ::closedir(dir);
    if (err == 0) return true;
    why = error_of(err);
    return false;
}

// path and, for a folder, all below it; a link goes as a link, what it names stays.
bool remove_tree(const QString& path, QString& why) {
    const Kind kind = kind_of(path);
    if (kind == Kind::none) return true;
    if (kind != Kind::folder) {
        if (remove_file(path)) return true;
        why = last_file_error();
        return false;
    }
    QStringList names;
    if (!names_in(path, names, why)) return false;
    bool ok = true;
    for (const QString& name : std::as_const(names)) ok = remove_tree(path + u'/' + name, why) && ok;
    if (!ok) return false;
    if (::rmdir(QFile::encodeName(path).constData()) == 0) return true;
    why = error_of(errno);
    return false;
}

// Everything of the staging folder goes, the record first: files staged without a whole
// record are never finished. A link in its place goes as a link; anything else that is no
// folder stays (it is not ours). had_any: something of a switch was there. false: something
// is left (why); an empty folder that cannot be removed is no trouble.
bool clear_staging_folder(const QString& staging, bool& had_any, QString& why) {
    had_any = false;
    const Kind kind = kind_of(staging);
    if (kind == Kind::none) return true;
    if (kind == Kind::link) {
        if (remove_file(staging)) return true;
        why = last_file_error();
        return false;
    }
    if (kind != Kind::folder) {
        why = error_of(ENOTDIR);
        return false;
    }
    const QString record = staging + u'/' + kRecordName;
    if (kind_of(record) != Kind::none) {
        had_any = true;
        if (!remove_tree(record, why)) return false;
        if (!sync_folder(staging)) {
            why = last_file_error();
            return false;
        }
    }
    QStringList names;
    if (!names_in(staging, names, why)) return false;
    bool ok = true;
    for (const QString& name : std::as_const(names)) {
        had_any = true;
        ok = remove_tree(staging + u'/' + name, why) && ok;
    }
    if (!ok) return false;
    if (::rmdir(QFile::encodeName(staging).constData()) == 0 || !had_any) return true;
    why = error_of(errno);
    return false;
}

} // namespace

QString FileSwitch::staging_folder(const QString& folder) { return folder + u'/' + kStagingName; }

FileSwitch::FileSwitch(const QString& folder) : folder_(folder), staging_(staging_folder(folder)) {}

FileSwitch::~FileSwitch() {
    QString why;
    if (staged_ && !made_) clear_staging(why);
}

void FileSwitch::replace(const QString& rel, const QString& source, int tag) { changes_.push_back({rel, source, tag}); }

void FileSwitch::remove(const QString& rel, int tag) { changes_.push_back({rel, QString(), tag}); }

bool FileSwitch::clear_staging(QString& why) {
    bool had_any = false;
    return clear_staging_folder(staging_, had_any, why);
}

bool FileSwitch::stage(QString& why, int& failed_tag) {
    failed_tag = 0;
    auto failed = [&](const Change& c, const QString& text) {
        why = text;
        failed_tag = c.tag;
        QString clear_why;
        clear_staging(clear_why);
        return false;
    };
    // A switch cut short is settled before a new one starts, and its staging is gone.
    Settlement earlier;
    if (!settle(folder_, earlier, why)) return false;
    if (!earlier.not_cleared.isEmpty()) {
        why = earlier.not_cleared + QStringLiteral(" (") + QDir::toNativeSeparators(staging_) + u')';
        return false;
    }
    if (!make_folder(staging_, why)) return false;
    QSet<QString> subs;
    for (const Change& c : changes_) {
        if (!valid_rel(c.rel)) return failed(c, error_of(EINVAL));
        const QString target = folder_ + u'/' + c.rel;
        // A folder in a file's place cannot be renamed over: found now, not half way through the switch.
        if (is_folder(target)) return failed(c, error_of(EISDIR));
        const QString sub = sub_folder_of(c.rel);
        QString folder_why;
        if (!sub.isEmpty() && !subs.contains(sub)) {
            if (!make_folder(folder_ + u'/' + sub, folder_why) || !make_folder(staging_ + u'/' + sub, folder_why))
                return failed(c, folder_why);
            subs.insert(sub);
        }
        QString copy_why;
        if (!c.source.isEmpty() && !copy_synced(c.source, staging_ + u'/' + c.rel, target, copy_why))
            return failed(c, copy_why);
    }
    QString sync_why;
    if (!sync_folders(staging_, subs, sync_why) || !sync_folders(folder_, subs, sync_why)) {
        why = sync_why;
        clear_staging(sync_why);
        return false;
    }
    staged_ = true;
    return true;
}

bool FileSwitch::make(bool keep_record, bool& committed, QString& why) {
    committed = false;
    if (!staged_) {
        why = error_of(EINVAL);
        return false;
    }
    std::vector<Entry> entries;
    for (const Change& c : changes_) entries.push_back({c.source.isEmpty() ? kRemove : kReplace, c.rel});
    const QByteArray record = encode_record(entries);
    const QString path = staging_ + u'/' + kRecordName;
    QFile f(path);
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    if (!ok) why = f.errorString();
    if (ok) {
        ok = write_at(f, 0, record) && sync_file(f);
        f.close();
        ok = ok && sync_folder(staging_);
        if (!ok) why = last_file_error();
    }
    if (!ok) {
        // The record is the commit point: a whole one that cannot be taken away stands.
        std::vector<Entry> on_disk;
        const bool gone = remove_file(path) && sync_folder(staging_);
        if (gone || !read_record(path, on_disk)) {
            QString clear_why;
            clear_staging(clear_why);
            return false;
        }
    }
    committed = made_ = true;
    QStringList kept;
    if (!apply(folder_, staging_, entries, kept, why)) return false;
    if (!kept.isEmpty()) {
        // Only a change made to the folders since stage() keeps a name; the record stays for a settle.
        why = kept.join(QStringLiteral(", ")) + QStringLiteral(" could not be replaced");
        return false;
    }
    return keep_record || close(why);
}

bool FileSwitch::close(QString& why) { return clear_staging(why); }

bool FileSwitch::settle(const QString& folder, Settlement& done, QString& why) {
    done = Settlement{};
    const QString staging = staging_folder(folder);
    const Kind kind = kind_of(staging);
    if (kind == Kind::none) return true;
    std::vector<Entry> entries;
    if (kind == Kind::folder && read_record(staging + u'/' + kRecordName, entries)) {
        if (!apply(folder, staging, entries, done.kept, why)) return false;
        done.what = Settled::finished;
    }
    bool had_any = false;
    QString clear_why;
    if (!clear_staging_folder(staging, had_any, clear_why)) done.not_cleared = clear_why;
    if (had_any && done.what == Settled::nothing) done.what = Settled::undone;
    return true;
}

} // namespace qb
