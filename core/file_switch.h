#pragma once
// Files of one folder replaced as one set. Each new file is first copied into a staging
// folder beside them and synced; one record then names the switch, and the renames
// follow. A switch found later is finished when its record is whole, and undone when it
// is not, so a kill or a full disk at any point leaves the set all old or all new.
#include <QString>
#include <QStringList>
#include <vector>

namespace qb {

class FileSwitch {
public:
    // folder: where the files of the set live; a file is named relative to it, in the
    // folder itself or in one of its direct sub-folders.
    explicit FileSwitch(const QString& folder);
    ~FileSwitch();  // a switch not made is undone
    FileSwitch(const FileSwitch&) = delete;
    FileSwitch& operator=(const FileSwitch&) = delete;

    // rel takes the place of a copy of source; tag is handed back when it fails.
    void replace(const QString& rel, const QString& source, int tag);
    // rel is removed by the switch.
    void remove(const QString& rel, int tag);

    // Copies every replacement into the staging folder and syncs it; nothing in the
    // folder itself changes. false: why and failed_tag tell what failed; the staging is
    // cleared.
    bool stage(QString& why, int& failed_tag);
    // The commit point, then the renames. committed: the commit point was passed, so the
    // set is new, or will be once a later settle has finished the renames. keep_record:
    // the record stays until close(), and a start in between says the switch was cut short.
    bool make(bool keep_record, bool& committed, QString& why);
    bool close(QString& why);

    enum class Settled { nothing, finished, undone };
    struct Settlement {
        Settled what = Settled::nothing;
        // Names of a finished record left as they are: a folder stands in the file's place,
        // or the staging no longer holds the file (or holds a link or a folder there).
        QStringList kept;
        // Why the staging folder is still there ("" when it is gone): something in it could
        // not be removed, or it is no folder.
        QString not_cleared;
    };
    // Finishes or undoes a switch that a kill left in folder. Nothing in or below the
    // staging folder is followed through a link. false: a whole record could not be
    // finished (why says why); the set is then mixed until a later settle works.
    static bool settle(const QString& folder, Settlement& done, QString& why);

    static QString staging_folder(const QString& folder);

private:
    struct Change {
        QString rel;
        QString source;  // empty: removal
        int tag = 0;
    };
    bool clear_staging(QString& why);

    QString folder_;
    QString staging_;
    std::vector<Change> changes_;
    bool staged_ = false;
    bool made_ = false;
};

} // namespace qb
