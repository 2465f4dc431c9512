#include "core/file_switch.h"

#include "core/file_io.h"
#include "core/journal_codec.h"
#include "core/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qb {
namespace {

using namespace journal_codec;
namespace fs = std::filesystem;

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
fs::path to_fs(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }

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
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxRecordBytes) return false;
    const QByteArray bytes = f.readAll();
    return f.error() == QFileDevice::NoError && decode_record(bytes, entries);
}

bool is_folder(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool make_folder(const QString& path, QString& why) {
    if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0 || (errno == EEXIST && is_folder(path))) return true;
    why = error_of(errno == EEXIST ? ENOTDIR : errno);
    return false;
}

// source to dest, every byte through the file layer, synced.
bool copy_synced(const QString& source, const QString& dest, const QString& target, QString& why) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        why = in.errorString();
        return false;
    }
    QFile out(dest);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
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
bool apply(const QString& folder, const QString& staging, const std::vector<Entry>& entries, QString& why) {
    QSet<QString> subs;
    for (const Entry& e : entries) {
        const QString target = folder + u'/' + e.rel;
        const QString staged = staging + u'/' + e.rel;
        if (!sub_folder_of(e.rel).isEmpty()) subs.insert(sub_folder_of(e.rel));
        bool ok = true;
        if (e.kind == kRemove) ok = remove_file(target);
        else if (QFileInfo::exists(staged) || QFileInfo(staged).isSymLink()) ok = rename_file(staged, target);
        if (!ok) {
            why = last_file_error();
            return false;
        }
    }
    return sync_folders(folder, subs, why);
}

// Everything of the staging folder goes, the record first: files staged without a whole
// record are never finished. had_any: something was there.
bool clear_staging_folder(const QString& staging, bool& had_any) {
    had_any = false;
    if (!QFileInfo(staging).isDir()) return true;
    const QString record = staging + u'/' + kRecordName;
    if (QFileInfo::exists(record)) {
        had_any = true;
        if (!remove_file(record) || !sync_folder(staging)) return false;
    }
    bool ok = true;
    std::error_code ec;
    for (fs::directory_iterator it(to_fs(staging), ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        had_any = true;
        const QString path = QFile::decodeName(QByteArray::fromStdString(it->path().string()));
        std::error_code kind_ec;
        if (fs::is_directory(it->symlink_status(kind_ec))) {
            std::error_code inner;
            for (fs::directory_iterator f(it->path(), inner); !inner && f != fs::directory_iterator(); f.increment(inner))
                ok = remove_file(QFile::decodeName(QByteArray::fromStdString(f->path().string()))) && ok;
            ok = (::rmdir(QFile::encodeName(path).constData()) == 0) && ok;
        } else {
            ok = remove_file(path) && ok;
        }
    }
    if (ec) ok = false;
    return (::rmdir(QFile::encodeName(staging).constData()) == 0) && ok;
}

} // namespace

QString FileSwitch::staging_folder(const QString& folder) { return folder + u'/' + kStagingName; }

FileSwitch::FileSwitch(const QString& folder) : folder_(folder), staging_(staging_folder(folder)) {}

FileSwitch::~FileSwitch() {
    if (staged_ && !made_) clear_staging();
}

void FileSwitch::replace(const QString& rel, const QString& source, int tag) { changes_.push_back({rel, source, tag}); }

void FileSwitch::remove(const QString& rel, int tag) { changes_.push_back({rel, QString(), tag}); }

bool FileSwitch::clear_staging() {
    bool had_any = false;
    return clear_staging_folder(staging_, had_any);
}

bool FileSwitch::stage(QString& why, int& failed_tag) {
    failed_tag = 0;
    auto failed = [&](const Change& c, const QString& text) {
        why = text;
        failed_tag = c.tag;
        clear_staging();
        return false;
    };
    // A switch cut short is settled before a new one starts.
    Settled earlier = Settled::nothing;
    if (!settle(folder_, earlier, why)) return false;
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
        clear_staging();
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
    bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
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
            clear_staging();
            return false;
        }
    }
    committed = made_ = true;
    if (!apply(folder_, staging_, entries, why)) return false;
    return keep_record || close(why);
}

bool FileSwitch::close(QString& why) {
    if (clear_staging()) return true;
    why = last_file_error();
    return false;
}

bool FileSwitch::settle(const QString& folder, Settled& what, QString& why) {
    what = Settled::nothing;
    const QString staging = staging_folder(folder);
    if (!QFileInfo(staging).isDir()) return true;
    std::vector<Entry> entries;
    bool had_any = false;
    if (read_record(staging + u'/' + kRecordName, entries)) {
        if (!apply(folder, staging, entries, why)) return false;
        what = Settled::finished;
        clear_staging_folder(staging, had_any);
        return true;
    }
    clear_staging_folder(staging, had_any);
    if (had_any) what = Settled::undone;
    return true;
}

} // namespace qb
