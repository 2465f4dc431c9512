#pragma once
// The rollback journal of a save. Before a save first overwrites stored bytes of a data
// file, those bytes and the files' sizes go to the journal and are synced; the journal
// is removed after the save's last write. A journal found later means a save was cut
// short: writing the old bytes back and cutting the files to their old sizes undoes it.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <utility>
#include <vector>

namespace qb {

class SaveJournal {
public:
    explicit SaveJournal(const QString& journal_path);
    ~SaveJournal();
    SaveJournal(const SaveJournal&) = delete;
    SaveJournal& operator=(const SaveJournal&) = delete;

    // A file the save may change, at its size now; false when the size cannot be read.
    bool add_file(const QString& path);
    // Keeps the stored bytes [offset, offset + len) of a file added before; they reach
    // the journal with the next write_pending, in one synced write.
    bool keep(QFile& f, qint64 offset, qint64 len);
    bool write_pending();
    // From now on every write_at of an added file is journalled before it overwrites.
    void activate();
    // The save is complete: the files written are synced and the journal removed.
    bool commit();
    // The save failed: the files go back to what they held when it started.
    bool roll_back();

    // write_at's hook: keeps what the write would overwrite and not kept yet.
    bool before_write(QFile& f, qint64 offset, qint64 len);
    static SaveJournal* active();

    // Undoes the save that a journal left behind describes, then removes the journal.
    // found tells whether there was one. false: it could not be undone (it stays).
    static bool recover(const QString& journal_path, bool& found);

    struct Span {
        qint64 from, to;
    };
    struct FileState {
        QString path;
        qint64 size = 0;
        std::vector<Span> kept;  // sorted, disjoint
        bool written = false;
    };
    struct Segment {
        int file = 0;
        qint64 offset = 0;
        QByteArray bytes;
    };

private:
    FileState* state_of(const QString& path);
    bool open_journal();
    bool remove_journal();

    QString path_;
    QString folder_;
    QFile journal_;
    bool exists_ = false;  // the journal file was created and not removed yet
    qint64 journal_size_ = 0;
    std::vector<FileState> files_;
    std::vector<Segment> segments_;
    size_t written_segments_ = 0;
};

} // namespace qb
