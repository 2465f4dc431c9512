#include "core/save_journal.h"

#include "core/file_io.h"
#include "core/journal_codec.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

namespace qb {
namespace {

using namespace journal_codec;

SaveJournal* g_active = nullptr;

const QByteArray kHeadMagic = QByteArrayLiteral("QBJ1");
const QByteArray kSegmentMagic = QByteArrayLiteral("SEG1");

QByteArray encode_head(const std::vector<SaveJournal::FileState>& files) {
    QByteArray body;
    put<quint8>(body, quint8(files.size()));
    for (const auto& f : files) {
        const QByteArray name = QFileInfo(f.path).fileName().toUtf8();
        put<quint16>(body, quint16(name.size()));
        body += name;
        put<qint64>(body, f.size);
    }
    return frame(kHeadMagic, body);
}

QByteArray encode_segment(const SaveJournal::Segment& s) {
    QByteArray body;
    put<quint8>(body, quint8(s.file));
    put<qint64>(body, s.offset);
    put<quint32>(body, quint32(s.bytes.size()));
    body += s.bytes;
    return frame(kSegmentMagic, body);
}

bool decode(const QByteArray& journal, const QString& folder, std::vector<SaveJournal::FileState>& files,
            std::vector<SaveJournal::Segment>& segments) {
    Reader r(journal);
    QByteArray head;
    if (!read_block(r, kHeadMagic, head)) return false;
    Reader h(head);
    quint8 count = 0;
    if (!h.get(count)) return false;
    for (int i = 0; i < count; ++i) {
        quint16 len = 0;
        QByteArray name;
        SaveJournal::FileState f;
        if (!h.get(len) || !h.bytes(len, name) || !h.get(f.size)) return false;
        const QString n = QString::fromUtf8(name);
        if (n.isEmpty() || n.contains(u'/') || n == u"." || n == u"..") return false;
        f.path = folder + u'/' + n;
        files.push_back(f);
    }
    // Segments up to the first torn one: nothing after it was overwritten yet.
    for (QByteArray body; read_block(r, kSegmentMagic, body);) {
        Reader s(body);
        SaveJournal::Segment seg;
        quint8 file = 0;
        quint32 len = 0;
        if (!s.get(file) || !s.get(seg.offset) || !s.get(len) || !s.bytes(qsizetype(len), seg.bytes)) break;
        if (file >= files.size() || seg.offset < 0) break;
        seg.file = file;
        segments.push_back(seg);
    }
    return true;
}

// Old bytes back, newest capture first so that the earliest one wins, then the old sizes.
bool put_back(const std::vector<SaveJournal::FileState>& files, const std::vector<SaveJournal::Segment>& segments) {
    for (size_t i = 0; i < files.size(); ++i) {
        const SaveJournal::FileState& fs = files[i];
        qint64 size = 0;
        if (!file_size_at(fs.path, size)) return false;
        const bool touched = std::any_of(segments.begin(), segments.end(), [&](const auto& s) { return s.file == int(i); });
        if (!touched && size <= fs.size) continue;
        QFile f(fs.path);
        if (!open_file(f, QIODevice::ReadWrite | QIODevice::Unbuffered)) return false;
        for (auto it = segments.rbegin(); it != segments.rend(); ++it)
            if (it->file == int(i) && !write_at(f, it->offset, it->bytes)) return false;
        if (!file_size(f, size)) return false;
        if (size > fs.size && !resize_file(f, fs.size)) return false;
        if (!sync_file(f)) return false;
    }
    return true;
}

} // namespace

SaveJournal::SaveJournal(const QString& journal_path)
    : path_(journal_path), folder_(QFileInfo(journal_path).absolutePath()), journal_(journal_path) {}

SaveJournal::~SaveJournal() {
    if (g_active == this) g_active = nullptr;
}

SaveJournal* SaveJournal::active() { return g_active; }

void SaveJournal::activate() { g_active = this; }

bool SaveJournal::add_file(const QString& path) {
    FileState f;
    f.path = path;
    if (!file_size_at(path, f.size)) return false;
    files_.push_back(f);
    return true;
}

SaveJournal::FileState* SaveJournal::state_of(const QString& path) {
    for (FileState& f : files_)
        if (f.path == path) return &f;
    return nullptr;
}

bool SaveJournal::keep(QFile& f, qint64 offset, qint64 len) {
    FileState* fs = state_of(f.fileName());
    if (!fs) return true;
    const qint64 end = std::min(offset + len, fs->size);
    // The parts of [offset, end) not kept yet.
    std::vector<Span> missing;
    qint64 at = offset;
    for (const Span& k : fs->kept) {
        if (k.to <= at) continue;
        if (k.from >= end) break;
        if (k.from > at) missing.push_back({at, k.from});
        at = std::max(at, k.to);
    }
    if (at < end) missing.push_back({at, end});
    for (const Span& m : missing) {
        if (!f.seek(m.from)) return false;
        Segment s{int(fs - files_.data()), m.from, f.read(m.to - m.from)};
        if (f.error() != QFileDevice::NoError) return false;
        segments_.push_back(s);
        fs->kept.push_back(m);
    }
    if (!missing.empty()) {
        std::sort(fs->kept.begin(), fs->kept.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
        std::vector<Span> merged;
        for (const Span& k : fs->kept) {
            if (!merged.empty() && k.from <= merged.back().to) merged.back().to = std::max(merged.back().to, k.to);
            else merged.push_back(k);
        }
        fs->kept.swap(merged);
    }
    return true;
}

bool SaveJournal::open_journal() {
    if (journal_.isOpen()) return true;
    exists_ = open_file(journal_, QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
    return exists_;
}

// Not synced after: should the removal be lost, the next start rolls back a complete save,
// which leaves the entry as it was before it, never half of it.
bool SaveJournal::remove_journal() {
    journal_.close();
    if (!exists_) return true;
    if (!remove_file(path_)) return false;
    exists_ = false;
    return true;
}

bool SaveJournal::write_pending() {
    if (written_segments_ == segments_.size()) return true;
    const bool first = !journal_.isOpen();
    if (!open_journal()) return false;
    QByteArray out;
    if (first) out = encode_head(files_);
    for (size_t i = written_segments_; i < segments_.size(); ++i) out += encode_segment(segments_[i]);
    if (!write_at(journal_, journal_size_, out) || !sync_file(journal_)) return false;
    if (first && !sync_folder(folder_)) return false;
    journal_size_ += out.size();
    written_segments_ = segments_.size();
    return true;
}

bool SaveJournal::before_write(QFile& f, qint64 offset, qint64 len) {
    FileState* fs = state_of(f.fileName());
    if (!fs) return true;
    fs->written = true;
    if (offset >= fs->size) return true;  // an append overwrites nothing
    return keep(f, offset, len) && write_pending();
}

bool SaveJournal::commit() {
    if (g_active == this) g_active = nullptr;
    // A save that only appended overwrote nothing stored: a kill leaves at most records
    // past the stored ones, which nothing points at. Only a journalled save waits for the disk.
    if (!exists_) return true;
    for (const FileState& fs : files_) {
        if (!fs.written) continue;
        QFile f(fs.path);
        if (!open_file(f, QIODevice::ReadOnly) || !sync_file(f)) return false;
    }
    return remove_journal();
}

bool SaveJournal::roll_back() {
    if (g_active == this) g_active = nullptr;
    std::vector<Segment> on_disk(segments_.begin(), segments_.begin() + qsizetype(written_segments_));
    if (!put_back(files_, on_disk)) return false;
    return remove_journal();
}

bool SaveJournal::recover(const QString& journal_path, bool& found) {
    found = QFileInfo::exists(journal_path);
    if (!found) return true;
    QByteArray bytes;
    {
        QFile j(journal_path);
        if (!open_file(j, QIODevice::ReadOnly)) return false;
        bytes = j.readAll();
        if (j.error() != QFileDevice::NoError) return false;
    }
    const QString folder = QFileInfo(journal_path).absolutePath();
    std::vector<FileState> files;
    std::vector<Segment> segments;
    // A torn head: the journal was cut short before any stored byte was overwritten.
    if (decode(bytes, folder, files, segments) && !put_back(files, segments)) return false;
    return remove_file(journal_path) && sync_folder(folder);
}

} // namespace qb
