// Backup of the data files and the page folders to a folder of the user's choice, and
// the way back.
#include "core/core.h"
#include "core/file_io.h"
#include "core/file_switch.h"
#include "core/save_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace qb {
namespace {

namespace fs = std::filesystem;

constexpr int16_t kWaitBackupRestore = 1;  // the wait window's picture for this work

const QString kDriveHint = QStringLiteral(
    "Please ensure that the drive selected is ready (Hint: Check that the CD or floppy disk is in the drive). Error: ");

fs::path to_fs(const QString& s) { return fs::path(QFile::encodeName(s).toStdString()); }
QString from_fs(const fs::path& p) { return QFile::decodeName(QByteArray::fromStdString(p.string())); }
QString error_text(const std::error_code& ec) { return QString::fromLocal8Bit(ec.message().c_str()); }

QString with_slash(const QString& folder) { return folder.endsWith(u'/') ? folder : folder + u'/'; }

// The names of a folder's normal files (or of its sub-folders), in listing order. Dot
// names are this system's hidden files and stay out.
bool list_folder(const QString& folder, bool folders, QStringList& names, QString& last, QString& why) {
    std::error_code ec;
    fs::directory_iterator it(to_fs(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const QString name = from_fs(it->path().filename());
        last = name;
        if (name.startsWith(u'.')) continue;
        std::error_code kind_ec;
        const bool wanted = folders ? it->is_directory(kind_ec) : it->is_regular_file(kind_ec);
        if (wanted) names << name;
    }
    if (ec) {
        why = error_text(ec);
        return false;
    }
    return true;
}

// The path with its links resolved as far as it exists.
QString real_path(const QString& path) {
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    if (!canonical.isEmpty()) return canonical;
    const QString parent = QFileInfo(fi.absolutePath()).canonicalFilePath();
    return parent.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : QDir::cleanPath(parent + u'/' + fi.fileName());
}

bool is_inside(const QString& path, const QString& folder) {
    const QString p = real_path(path);
    const QString f = real_path(folder);
    return p == f || p.startsWith(with_slash(f));
}

// The backup folder that folder is, or lies in; "" when there is none.
QString enclosing_backup(const QString& folder, const QString& backup_name) {
    for (QString p = real_path(folder); !p.isEmpty(); p = QFileInfo(p).path()) {
        if (QFileInfo(p).fileName() == backup_name) return p;
        if (QFileInfo(p).isRoot()) break;
    }
    return QString();
}

// A staging folder that a settle left in place, named so that the user can find it.
QString staging_not_cleared(const QString& folder, const QString& why) {
    return QStringLiteral("The staging folder ") + QDir::toNativeSeparators(FileSwitch::staging_folder(folder)) +
           QStringLiteral(" could not be cleared. Error: ") + why + u'.';
}

} // namespace

void Core::copy_folder_files(const QString& source, const QString& destination) {
    const QString src = with_slash(source);
    const QString dst = with_slash(destination);
    QString name;
    auto failed = [&](const QString& why) {
        show_message(msg_error, QStringLiteral("Copy files in Sub-Folder error: ") + why + QStringLiteral(". Source: ") +
                                    source + QStringLiteral(", Dest: ") + destination + QStringLiteral(" Filename: ") +
                                    name);
    };
    if (!QFileInfo(dst).isDir()) {
        std::error_code ec;
        fs::create_directory(to_fs(dst), ec);
        if (!ec && !QFileInfo(dst).isDir()) ec = std::make_error_code(std::errc::not_a_directory);
        if (ec) return failed(error_text(ec));
    }
    QStringList names;
    QString last, why;
    if (!list_folder(src, false, names, last, why)) return failed(why);
    for (const QString& n : std::as_const(names)) {
        name = n;
        if (!copy_whole_file(src + n, dst + n, &why)) return failed(why);
    }
}

bool Core::copy_folder_tree(const QString& source, const QString& destination) {
    QStringList names;
    QString last, why;
    if (!list_folder(source, true, names, last, why)) {
        show_message(msg_error, QStringLiteral("Failed to Copy Folder: ") + last + QStringLiteral(", Error: ") + why);
        return false;
    }
    const QString src = with_slash(source);
    const QString dst = with_slash(destination);
    for (const QString& name : std::as_const(names))
        if (name != backup_foldername) copy_folder_files(src + name, dst + name);
    return true;
}

namespace {

void show_wait(Core& c, const QString& text) {
    if (c.hooks.user_update_set_message) c.hooks.user_update_set_message(text, kWaitBackupRestore);
    // One pass of the event loop, so the window paints before the copying holds the thread.
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void hide_wait(Core& c) {
    if (c.hooks.user_update_hide) c.hooks.user_update_hide();
}

// The tables as a fresh start would build them from the files now in the program folder.
void reload_tables(Core& c) {
    c.load_summary_data();
    c.load_checklists();
    c.current_checklist = c.Checklists.value(0);
    c.current_checklist_index = 0;
    c.load_preferences();
}

} // namespace

namespace {

// The program folder's page folders and their files, as the backup copies them: one level,
// normal files only; a backup folder is no page folder. false: a folder could not be listed
// (why, and the name last listed).
bool page_files(const QString& root, const QString& backup_name, QStringList& rels, QString& last, QString& why) {
    QStringList subs;
    if (!list_folder(root, true, subs, last, why)) return false;
    subs.removeAll(backup_name);
    for (const QString& sub : std::as_const(subs)) {
        QStringList files;
        if (!list_folder(root + sub, false, files, last, why)) {
            last = sub;
            return false;
        }
        for (const QString& f : std::as_const(files)) rels << sub + u'/' + f;
    }
    return true;
}

} // namespace

// The backup folder changes as one: every file of the new backup is staged beside the
// older one and switched in one step, so a backup cut short leaves the older one whole.
bool Core::backup_data(const QString& folder) {
    show_wait(*this, QStringLiteral("Please Wait...Backup In Progress."));
    const QString target_folder = with_slash(folder) + backup_foldername;
    const QString target = with_slash(target_folder);
    auto failed = [&](int step, const QString& why) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Backup Data. Progress: ") + QString::number(step) +
                                    QStringLiteral(" Error: ") + why);
        return false;
    };
    auto not_ready = [&](const QString& why) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Backup Data. ") + kDriveHint + why);
        return false;
    };

    // Inside the program folder the backup would list itself as one of the folders to copy.
    if (is_inside(target, program_folder_)) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Backup Data. The backup folder ") +
                                    QDir::toNativeSeparators(real_path(target)) +
                                    QStringLiteral(" lies inside the program folder ") +
                                    QDir::toNativeSeparators(program_folder_) +
                                    QStringLiteral(". Please select a folder outside the program folder."));
        return false;
    }
    // Inside a backup folder the next restore from it, or backup into it, would take this
    // backup for a page folder.
    if (const QString outer = enclosing_backup(folder, backup_foldername); !outer.isEmpty()) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Backup Data. The folder ") +
                                    QDir::toNativeSeparators(real_path(folder)) +
                                    QStringLiteral(" lies inside the backup folder ") +
                                    QDir::toNativeSeparators(outer) +
                                    QStringLiteral(". Please select a folder outside the backup folder."));
        return false;
    }
    if (!QFileInfo(target).isDir()) {
        std::error_code ec;
        fs::create_directory(to_fs(target), ec);  // the picked folder itself must exist
        if (!ec && !QFileInfo(target).isDir()) ec = std::make_error_code(std::errc::not_a_directory);
        if (ec) return not_ready(error_text(ec));
    }
    // An earlier backup cut short is first made whole: the older one or the newer one.
    QString why;
    FileSwitch::Settlement earlier;
    if (!FileSwitch::settle(target_folder, earlier, why)) return not_ready(why);
    if (!earlier.not_cleared.isEmpty()) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Backup Data. ") +
                                    staging_not_cleared(target_folder, earlier.not_cleared));
        return false;
    }

    FileSwitch files(target_folder);
    int step = 0;
    for (const QString& name : {vardata_filename, entries_filename, chklist_filename}) files.replace(name, data_path(name), ++step);
    step = 4;
    // pref.dat appears only once a preference was saved. Without it, an older copy must
    // not stay in the backup, or a restore would bring back preferences of another time.
    if (QFileInfo::exists(data_path(pref_filename)))
        files.replace(pref_filename, data_path(pref_filename), step);
    else if (QFileInfo::exists(target + pref_filename))
        files.remove(pref_filename, step);
    step = 5;
    QStringList pages;
    QString last;
    if (!page_files(with_slash(program_folder_), backup_foldername, pages, last, why)) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Failed to Copy Folder: ") + last + QStringLiteral(", Error: ") + why);
        return false;
    }
    for (const QString& rel : std::as_const(pages)) files.replace(rel, data_path(rel), step);

    int failed_step = 0;
    if (!files.stage(why, failed_step)) return failed(failed_step, why);
    bool committed = false;
    if (!files.make(false, committed, why)) return failed(step, why);
    hide_wait(*this);
    return true;
}

bool Core::settle_interrupted_restore(QString* staging_trouble) {
    QString why;
    FileSwitch::Settlement done;
    if (!FileSwitch::settle(program_folder_, done, why)) {
        restore_unfinished = true;
        show_message(msg_error, QStringLiteral("A restore of your data was cut short and could not be finished. Error: ") +
                                    why + QStringLiteral(". Nothing can be saved until it is finished at a later start."));
        return false;
    }
    QString told;
    if (done.what == FileSwitch::Settled::finished) {
        QStringList kept;
        for (const QString& rel : std::as_const(done.kept)) kept << message_path(rel);
        told = done.kept.isEmpty()
                   ? QStringLiteral("A restore of your data was cut short. It has now been finished: the data files "
                                    "are those of the backup.")
                   : QStringLiteral("A restore of your data was cut short. It has now been finished: the data files "
                                    "are those of the backup, but for these, left as they were because a folder "
                                    "stands in their place or their copy from the backup is gone: ") +
                         kept.join(QStringLiteral(", ")) + u'.';
        told += QStringLiteral(" Saved web pages may not all have been copied back; run the restore again to copy "
                               "them.");
    } else if (done.what == FileSwitch::Settled::undone) {
        told = done.not_cleared.isEmpty()
                   ? QStringLiteral("A restore of your data was cut short before it replaced any data file. It has "
                                    "been undone: your data is as it was before the restore.")
                   : QStringLiteral("A restore of your data was cut short before it replaced any data file: your data "
                                    "is as it was before the restore.");
    }
    QString trouble;
    if (!done.not_cleared.isEmpty()) trouble = staging_not_cleared(program_folder_, done.not_cleared);
    if (staging_trouble) {
        *staging_trouble = trouble;
    } else if (!trouble.isEmpty()) {
        told += (told.isEmpty() ? QString() : QStringLiteral(" ")) + trouble;
    }
    if (!told.isEmpty()) show_message(msg_warning, told);
    return true;
}

bool Core::restore_left_unfinished() {
    if (!restore_unfinished) return false;
    show_message(msg_error, QStringLiteral("Data NOT Saved. A restore of your data could not be finished; it is "
                                           "finished at the next start of Quorbelix."));
    return true;
}

// The data files change as one: each is staged beside its target and all are switched in
// one step, so a restore cut short leaves them all as they were or all as in the backup.
bool Core::restore_data(const QString& folder) {
    const QString source = with_slash(folder);
    if (!QFileInfo(folder).isDir()) return false;
    {
        QStringList files;
        QString last, why;
        if (!list_folder(source, false, files, last, why)) {
            show_message(msg_error, QStringLiteral("Unable to Restore Data. ") + kDriveHint + why);
            return false;
        }
        if (files.isEmpty() && !QFileInfo(FileSwitch::staging_folder(QDir::cleanPath(folder))).isDir()) return false;
    }
    // From inside the program folder a restore would copy its files onto themselves.
    if (is_inside(folder, program_folder_)) {
        show_message(msg_error, QStringLiteral("Unable to Restore Data. The backup folder ") +
                                    QDir::toNativeSeparators(real_path(folder)) +
                                    QStringLiteral(" lies inside the program folder ") +
                                    QDir::toNativeSeparators(program_folder_) +
                                    QStringLiteral(". Please select a backup folder outside the program folder."));
        return false;
    }
    // A backup cut short is the older one or the newer one once settled; one that cannot
    // be settled is neither, and nothing is taken from it. A staging folder that the settle
    // leaves there is of no account: nothing is read from it.
    QString why;
    FileSwitch::Settlement backup_state;
    if (!FileSwitch::settle(QDir::cleanPath(folder), backup_state, why)) {
        show_message(msg_error, QStringLiteral("Unable to Restore Data. The backup in ") +
                                    QDir::toNativeSeparators(folder) +
                                    QStringLiteral(" was cut short and cannot be completed (") + why +
                                    QStringLiteral("). Nothing was restored; please select another backup."));
        return false;
    }
    const QString required[] = {vardata_filename, entries_filename, chklist_filename};
    for (const QString& name : required) {
        if (!QFileInfo(source + name).isFile()) {
            show_message(msg_error, QStringLiteral("Backup folder missing file: ") + name + QStringLiteral(" Restore Aborted"));
            return false;
        }
    }

    show_wait(*this, QStringLiteral("Please Wait...Restore In Progress."));
    auto failed = [&](int step, const QString& text) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Restore Data. Progress: ") + QString::number(step) +
                                    QStringLiteral(" Error: ") + text);
        return false;
    };
    // A restore cut short, then a save journal of the files being replaced (not the backup's).
    QString staging_trouble;
    if (!settle_interrupted_restore(&staging_trouble))
        return failed(0, QStringLiteral("an earlier restore is not finished"));
    if (!staging_trouble.isEmpty()) {
        hide_wait(*this);
        show_message(msg_error, QStringLiteral("Unable to Restore Data. ") + staging_trouble);
        return false;
    }
    if (!recover_interrupted_save()) return failed(0, last_file_error());

    FileSwitch files(program_folder_);
    int step = 0;
    for (const QString& name : required) files.replace(name, source + name, ++step);
    step = 4;
    if (QFileInfo(source + pref_filename).isFile()) {
        files.replace(pref_filename, source + pref_filename, step);
        step = 5;
    }
    int failed_step = 0;
    if (!files.stage(why, failed_step)) return failed(failed_step, why);
    // The switch's record stays while the page folders are copied: a start in between
    // tells that the restore was cut short.
    bool committed = false;
    if (!files.make(true, committed, why)) {
        if (!committed) return failed(step, why);
        // Past the commit point the files are the backup's, or become so at the next
        // start; the tables of before must not be saved over them until then.
        restore_unfinished = true;
        return failed(step, why + QStringLiteral(". The restore is finished at the next start of Quorbelix; until "
                                                 "then nothing can be saved."));
    }
    copy_folder_tree(source, with_slash(program_folder_));
    if (!files.close(why)) show_message(msg_debug_data, QStringLiteral("Restore record not removed: ") + why);

    step = 6;
    reload_tables(*this);
    hide_wait(*this);
    current_entry.entry = SummaryData.value(0);
    if (hooks.reset_all_and_show_entries) hooks.reset_all_and_show_entries();
    return true;
}

} // namespace qb
