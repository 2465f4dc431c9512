// Backup to a folder and restore from it, on temporary program and backup folders.
#include "core/file_switch.h"
#include "core/ole_date.h"
#include "support/fakes.h"
#include "support/file_faults.h"
#include "support/journal_bytes.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <sys/stat.h>

using namespace qb;
using namespace qb::test;

namespace {

void add_entry(Core& c, const QString& security) {
    SummaryEntry* started = start_new_entry(c);
    QVERIFY(started);
    SummaryEntry& e = *started;
    e.security = security;
    e.transaction = "Buy";
    e.entry_date = ole_from_date(QDate(2026, 3, 1));
    e.other.present = kTrue;
    e.other.text = security + " details";
    QVERIFY(c.save_entry());
}

QStringList securities(const Core& c) {
    QStringList names;
    for (const SummaryEntry& e : c.SummaryData)
        if (e.is_live()) names << e.security;
    return names;
}

void make_file(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    write_file(path, bytes);
}


const QStringList kDataFiles{"VarData.dat", "entries.dat", "chklist.dat", "pref.dat"};

// The data files of a folder by name; a missing one is left out.
QMap<QString, QByteArray> data_files(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QString& name : kDataFiles)
        if (QFileInfo(folder + u'/' + name).isFile()) out[name] = read_file(folder + u'/' + name);
    return out;
}

// Every file of a folder and of its direct sub-folders by relative name, hidden ones
// (the staging of a switch) left out.
QMap<QString, QByteArray> folder_files(const QString& folder) {
    QMap<QString, QByteArray> out;
    for (const QFileInfo& fi : QDir(folder).entryInfoList(QDir::Files)) out[fi.fileName()] = read_file(fi.filePath());
    for (const QFileInfo& sub : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo& fi : QDir(sub.filePath()).entryInfoList(QDir::Files))
            out[sub.fileName() + u'/' + fi.fileName()] = read_file(fi.filePath());
    return out;
}

// The folder holds these files and nothing else.
void put_folder_files(const QString& folder, const QMap<QString, QByteArray>& files) {
    QDir(folder).removeRecursively();
    for (auto it = files.begin(); it != files.end(); ++it) make_file(folder + u'/' + it.key(), it.value());
}

// A program folder with two entries, a saved checklist, page folders and, when asked, pref.dat.
struct BackupFixture {
    explicit BackupFixture(bool with_pref) {
        fx.start();
        Core& c = *fx.core;
        add_entry(c, "Alpha");
        add_entry(c, "Bravo");
        c.Checklists[0].Name = "Saved list";
        c.save_checklist();
        if (with_pref) {
            c.textcolor = "Red";
            c.trans_type = QStringList{"Swap"};
            QVERIFY(c.save_preferences());
        }
        make_file(fx.path("WebData/page.htm"), "page v1");
        make_file(fx.path("WebData/.hidden"), "hidden");
        make_file(fx.path("WebData/deeper/inner.htm"), "two levels down");
        make_file(fx.path("Acme Corp/notes.txt"), "acme");
        c.hooks.user_update_set_message = [this](const QString& text, int16_t kind) {
            waits << QStringLiteral("%1:%2").arg(kind).arg(text);
        };
        c.hooks.user_update_hide = [this] { ++hides; };
        c.hooks.reset_all_and_show_entries = [this] { ++resets; };
        fx.messages.boxes.clear();  // the fresh folder's "no checklist file" notice
    }
    QString backup(const QString& name = QString()) const {
        return pick.path() + u'/' + "QB_BackupData" + (name.isEmpty() ? QString() : u'/' + name);
    }

    CoreFixture fx;
    QTemporaryDir pick;  // the folder the user picks
    QStringList waits;
    int hides = 0;
    int resets = 0;
};

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void backup_change_restore_data();
    void backup_change_restore();
    void second_backup_replaces_the_first();
    void backup_failures_data();
    void backup_failures();
    void restore_refusals_data();
    void restore_refusals();
    void restore_failure_midway_data();
    void restore_failure_midway();
    void copy_folder_files_reports_the_file();
    void restore_of_empty_checklist_file_keeps_table();
    void restore_drops_a_journal_of_the_replaced_files();
    void unfinished_restore_refuses_saves();
    void cut_short_at_every_step_data();
    void cut_short_at_every_step();
    void full_disk_changes_nothing_data();
    void full_disk_changes_nothing();
    void real_kills_data();
    void real_kills();
    void damaged_switch_records_are_not_followed_data();
    void damaged_switch_records_are_not_followed();
    void linked_staging_touches_nothing_outside_data();
    void linked_staging_touches_nothing_outside();
    void switch_meeting_a_folder_is_finished_around_it_data();
    void switch_meeting_a_folder_is_finished_around_it();
    void staging_that_cannot_be_cleared_is_told_data();
    void staging_that_cannot_be_cleared_is_told();
    void staging_name_taken_by_a_file_is_told_data();
    void staging_name_taken_by_a_file_is_told();
    void backup_folder_is_no_page_folder();
    void settle_failing_at_start_refuses_saves();
    void restore_cut_short_in_page_copy_is_told();
    void unlistable_page_folder_fails_the_backup();
};

void TestBackup::backup_change_restore_data() {
    QTest::addColumn<bool>("with_pref");
    QTest::newRow("with pref.dat") << true;
    QTest::newRow("without pref.dat") << false;
}

void TestBackup::backup_change_restore() {
    QFETCH(bool, with_pref);
    BackupFixture b(with_pref);
    Core& c = *b.fx.core;

    QVERIFY(c.backup_data(b.pick.path()));
    QCOMPARE(b.fx.messages.boxes.size(), 0);
    QCOMPARE(b.waits, QStringList{"1:Please Wait...Backup In Progress."});
    QCOMPARE(b.hides, 1);
    for (const char* name : {"VarData.dat", "entries.dat", "chklist.dat"})
        QCOMPARE(read_file(b.backup(name)), read_file(b.fx.path(name)));
    QCOMPARE(QFile::exists(b.backup("pref.dat")), with_pref);
    QCOMPARE(read_file(b.backup("WebData/page.htm")), QByteArray("page v1"));
    QCOMPARE(read_file(b.backup("Acme Corp/notes.txt")), QByteArray("acme"));
    QVERIFY(!QFile::exists(b.backup("WebData/.hidden")));
    QVERIFY(!QFileInfo::exists(b.backup("WebData/deeper")));

    // Changes after the backup: an entry, a checklist, the preferences, a page.
    add_entry(c, "Charlie");
    c.Checklists[0].Name = "Changed list";
    c.save_checklist();
    c.textcolor = "Green";
    c.trans_type = QStringList{"Later"};
    QVERIFY(c.save_preferences());
    make_file(b.fx.path("WebData/page.htm"), "page v2");
    c.current_checklist_index = 0;

    b.waits.clear();
    QVERIFY(c.restore_data(b.backup()));
    QCOMPARE(b.fx.messages.boxes.size(), 0);
    QCOMPARE(b.waits, QStringList{"1:Please Wait...Restore In Progress."});
    QCOMPARE(b.hides, 2);
    QCOMPARE(b.resets, 1);
    QCOMPARE(securities(c), (QStringList{"Alpha", "Bravo"}));
    QCOMPARE(c.current_entry.entry.security, QString("Alpha"));
    QCOMPARE(c.Checklists[0].Name, QString("Saved list"));
    QCOMPARE(c.current_checklist.Name, QString("Saved list"));
    QCOMPARE(read_file(b.fx.path("WebData/page.htm")), QByteArray("page v1"));
    // Without pref.dat in the backup, the current preferences file stays and is read again.
    QCOMPARE(c.textcolor, QString(with_pref ? "Red" : "Green"));
    QCOMPARE(c.trans_type, QStringList{with_pref ? "Swap" : "Later"});

    // What the restore loaded is what a fresh start reads.
    b.fx.restart();
    QCOMPARE(securities(*b.fx.core), (QStringList{"Alpha", "Bravo"}));
}

void TestBackup::second_backup_replaces_the_first() {
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    make_file(b.fx.path("WebData/page.htm"), "page v2");
    QFile::remove(b.fx.path("pref.dat"));

    QVERIFY(c.backup_data(b.pick.path() + u'/'));  // a trailing separator changes nothing
    QCOMPARE(b.fx.messages.boxes.size(), 0);
    QCOMPARE(read_file(b.backup("entries.dat")), read_file(b.fx.path("entries.dat")));
    QCOMPARE(read_file(b.backup("WebData/page.htm")), QByteArray("page v2"));
    // The older pref.dat must not come back with these newer tables.
    QVERIFY(!QFile::exists(b.backup("pref.dat")));
}

void TestBackup::backup_failures_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");
    const QString drive = "Error: Unable to Backup Data. Please ensure that the drive selected is ready (Hint: Check "
                          "that the CD or floppy disk is in the drive). Error: ";
    QTest::newRow("picked folder gone") << "gone" << drive;
    QTest::newRow("backup name taken by a file") << "file" << drive;
    QTest::newRow("no chklist.dat") << "no chklist" << "Error: Unable to Backup Data. Progress: 3 Error: ";
    QTest::newRow("program folder picked") << "program" << "Error: Unable to Backup Data. The backup folder ";
    QTest::newRow("page folder picked") << "webdata" << "Error: Unable to Backup Data. The backup folder ";
    QTest::newRow("backup folder picked") << "backup" << "Error: Unable to Backup Data. The folder ";
    QTest::newRow("folder in a backup folder picked") << "in backup" << "Error: Unable to Backup Data. The folder ";
    QTest::newRow("backup's page folder a link")
        << "linked page folder" << "Error: Unable to Backup Data. Progress: 5 Error: Not a directory (";
}

void TestBackup::backup_failures() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QString folder = b.pick.path();
    if (setup == "gone") folder += "/not there";
    if (setup == "file") write_file(b.backup(), "a file");
    if (setup == "no chklist") QFile::remove(b.fx.path("chklist.dat"));
    if (setup == "program") folder = b.fx.dir.path();
    if (setup == "webdata") folder = b.fx.path("WebData");
    if (setup.endsWith("backup")) {
        QVERIFY(c.backup_data(folder));
        folder = setup == "backup" ? b.backup() : b.backup("WebData");
    }
    const QString outside = b.pick.path() + "/outside";
    if (setup == "linked page folder") {
        QVERIFY(c.backup_data(folder));
        make_file(outside + "/page.htm", "outside page");
        QVERIFY(QDir(b.backup("WebData")).removeRecursively());
        QVERIFY(make_link(outside, b.backup("WebData")));
        message += QDir::toNativeSeparators(b.backup("WebData")) + u')';
    }

    QVERIFY(!c.backup_data(folder));
    QCOMPARE(b.fx.messages.boxes.size(), 1);
    QVERIFY2(b.fx.messages.boxes[0].second.startsWith(message), qPrintable(b.fx.messages.boxes[0].second));
    QCOMPARE(b.hides, b.waits.size());  // the wait window never stays up
    if (setup == "gone") QVERIFY(!QFileInfo::exists(folder));
    if (setup == "program" || setup == "webdata" || setup.endsWith("backup"))
        QVERIFY(!QFileInfo::exists(folder + "/QB_BackupData"));
    if (setup == "linked page folder")
        QCOMPARE(files_below(outside), (QMap<QString, QByteArray>{{"page.htm", "outside page"}}));
}

void TestBackup::restore_refusals_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("message");  // "" when the restore refuses silently
    QTest::newRow("missing folder") << "missing" << "";
    QTest::newRow("empty folder") << "empty" << "";
    QTest::newRow("only sub-folders") << "subfolders only" << "";
    QTest::newRow("no chklist.dat") << "chklist.dat" << "Error: Backup folder missing file: chklist.dat Restore Aborted";
    QTest::newRow("no VarData.dat") << "VarData.dat" << "Error: Backup folder missing file: VarData.dat Restore Aborted";
    QTest::newRow("inside the program folder") << "inside" << "Error: Unable to Restore Data. The backup folder ";
}

void TestBackup::restore_refusals() {
    QFETCH(QString, setup);
    QFETCH(QString, message);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    const QByteArray entries_now = read_file(b.fx.path("entries.dat"));
    b.waits.clear();

    QString folder = b.backup();
    if (setup == "missing") folder = b.pick.path() + "/QB_BackupData_gone";
    if (setup == "empty" || setup == "subfolders only") {
        folder = b.pick.path() + "/other/QB_BackupData";
        QDir().mkpath(folder + (setup == "empty" ? "" : "/WebData"));
    }
    if (setup.endsWith(".dat")) QFile::remove(b.backup(setup));
    if (setup == "inside") {
        folder = b.fx.path("QB_BackupData");
        for (const char* name : {"VarData.dat", "entries.dat", "chklist.dat"}) make_file(folder + '/' + name, "x");
    }

    QVERIFY(!c.restore_data(folder));
    if (message.isEmpty()) {
        QCOMPARE(b.fx.messages.boxes.size(), 0);
    } else {
        QCOMPARE(b.fx.messages.boxes.size(), 1);
        QVERIFY2(b.fx.messages.boxes[0].second.startsWith(message), qPrintable(b.fx.messages.boxes[0].second));
    }
    // Refused before anything was copied: no wait window, data and tables as they were.
    QCOMPARE(b.waits.size(), 0);
    QCOMPARE(b.resets, 0);
    QCOMPARE(read_file(b.fx.path("entries.dat")), entries_now);
    QCOMPARE(securities(c), (QStringList{"Alpha", "Bravo", "Charlie"}));
}

void TestBackup::restore_failure_midway_data() {
    QTest::addColumn<QString>("blocked");  // the program file that cannot be replaced
    QTest::addColumn<int>("step");
    QTest::newRow("first file") << "VarData.dat" << 1;
    QTest::newRow("third file") << "chklist.dat" << 3;
    QTest::newRow("pref.dat") << "pref.dat" << 4;
}

// A file that cannot be replaced stops the restore before any file is: the data files
// and the tables stay as they were, whichever file it is.
void TestBackup::restore_failure_midway() {
    QFETCH(QString, blocked);
    QFETCH(int, step);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    // A folder where the file should be: no copy can replace it, whoever runs the test.
    QFile::remove(b.fx.path(blocked));
    QVERIFY(QDir().mkpath(b.fx.path(blocked) + "/in the way"));
    const QMap<QString, QByteArray> before = data_files(b.fx.dir.path());
    b.waits.clear();

    QVERIFY(!c.restore_data(b.backup()));
    QCOMPARE(b.fx.messages.box_texts(),
             QStringList{QStringLiteral("Error: Unable to Restore Data. Progress: %1 Error: Is a directory").arg(step)});
    QCOMPARE(b.hides, b.waits.size() + 1);  // hidden after the backup and after the failed restore
    QCOMPARE(data_files(b.fx.dir.path()), before);
    QVERIFY(!QFileInfo::exists(b.fx.path(".QB_Staging")));
    QCOMPARE(securities(c), (QStringList{"Alpha", "Bravo", "Charlie"}));
    QCOMPARE(b.resets, 0);
}

void TestBackup::copy_folder_files_reports_the_file() {
    CoreFixture fx;
    make_file(fx.path("src/a.txt"), "a");
    write_file(fx.path("blocker"), "a file, not a folder");
    fx.core->copy_folder_files(fx.path("src"), fx.path("blocker"));
    QCOMPARE(fx.messages.boxes.size(), 1);
    const QString text = fx.messages.boxes[0].second;
    QVERIFY2(text.startsWith("Error: Copy files in Sub-Folder error: "), qPrintable(text));
    QVERIFY2(text.endsWith(". Source: " + fx.path("src") + ", Dest: " + fx.path("blocker") + " Filename: "),
             qPrintable(text));

    // A destination that exists as a folder takes the files, replacing older ones.
    make_file(fx.path("dst/a.txt"), "old");
    fx.core->copy_folder_files(fx.path("src"), fx.path("dst"));
    QCOMPARE(read_file(fx.path("dst/a.txt")), QByteArray("a"));
    QCOMPARE(fx.messages.boxes.size(), 1);
}

// The checklists are reloaded from the restored file only: no example is put in their place.
void TestBackup::restore_of_empty_checklist_file_keeps_table() {
    BackupFixture b(false);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    write_file(b.backup("chklist.dat"), {});
    QVERIFY(c.restore_data(b.backup()));
    QCOMPARE(c.Checklists.size(), 1);
    QCOMPARE(c.Checklists[0].Name, QString("Saved list"));
    QVERIFY(b.fx.messages.box_texts().contains("Error: Checklist File NOT Found. Using Default Checklist"));
}

// A journal left by a save cut short belongs to the files a restore replaces; applied to
// the restored ones it would damage them.
void TestBackup::restore_drops_a_journal_of_the_replaced_files() {
    BackupFixture b(false);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    const QByteArray entries = read_file(b.backup("entries.dat"));
    // A sound journal that would cut both files to nothing.
    write_file(b.fx.path("save.journal"), journal_cutting({{"entries.dat", 0}, {"VarData.dat", 0}}));
    QVERIFY(c.restore_data(b.backup()));
    QVERIFY(!QFile::exists(b.fx.path("save.journal")));
    QCOMPARE(read_file(b.fx.path("entries.dat")), entries);
    QCOMPARE(securities(c), QStringList({"Alpha", "Bravo"}));
}

namespace {

void add_operation_rows() {
    QTest::addColumn<bool>("restore");
    QTest::newRow("restore") << true;
    QTest::newRow("backup over an older one") << false;
}

// A restore, or a backup over an older one, and the two states of the files it changes:
// the data files of the program folder for a restore, the whole backup folder for a backup.
struct OperationFixture {
    explicit OperationFixture(bool restore) : restore(restore), b(true) {
        Core& c = *b.fx.core;
        QVERIFY(c.backup_data(b.pick.path()));
        // Later than the backup: an entry, a checklist, the preferences, a page changed and one added.
        add_entry(c, "Charlie");
        c.Checklists[0].Name = "Changed list";
        QVERIFY(c.save_checklist());
        c.textcolor = "Green";
        QVERIFY(c.save_preferences());
        make_file(b.fx.path("WebData/page.htm"), "page v2");
        make_file(b.fx.path("WebData/new.htm"), "new page");
        older = current();
        if (restore) {
            newer = data_files(b.backup());
        } else {
            QVERIFY(c.backup_data(b.pick.path()));
            newer = current();
            put_folder_files(watched(), older);
        }
        QVERIFY(older != newer);
    }
    QString watched() const { return restore ? b.fx.dir.path() : b.backup(); }
    QMap<QString, QByteArray> current() const { return restore ? data_files(watched()) : folder_files(watched()); }
    bool staging_left() const { return !QDir(FileSwitch::staging_folder(watched())).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }
    void reset() {
        if (restore) {
            for (auto it = older.begin(); it != older.end(); ++it) write_file(b.fx.path(it.key()), it.value());
            QDir(FileSwitch::staging_folder(watched())).removeRecursively();
        } else {
            put_folder_files(watched(), older);
        }
        b.fx.restart();
        b.fx.messages.boxes.clear();
    }
    bool run() { return restore ? b.fx.core->restore_data(b.backup()) : b.fx.core->backup_data(b.pick.path()); }
    // What the next start (after a restore) or the next use of the backup folder does first.
    void settle() {
        if (restore) {
            b.fx.restart();
            return;
        }
        FileSwitch::Settlement done;
        QString why;
        QVERIFY(FileSwitch::settle(watched(), done, why));
    }
    int restore_notices() const { return b.fx.messages.box_texts().filter("A restore of your data was cut short").size(); }

    bool restore;
    BackupFixture b;
    QMap<QString, QByteArray> older, newer;
};

} // namespace

// A restore whose switch fails past its commit point leaves the tables of before over
// files of the backup: nothing is saved until a start has finished the switch, not even
// after a later restore has finished it but failed itself.
void TestBackup::unfinished_restore_refuses_saves() {
    BackupFixture b(false);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    const QMap<QString, QByteArray> backed_up = data_files(b.backup());
    auto save_refused = [&] {
        b.fx.messages.boxes.clear();
        SummaryEntry* e = start_new_entry(c);
        QVERIFY(e);
        e->security = "Delta";
        QVERIFY(!c.save_entry());
        QVERIFY(b.fx.messages.box_texts().contains(
            "Error: Data NOT Saved. A restore of your data could not be finished; it is finished at the next start of "
            "Quorbelix."));
        QVERIFY(!c.save_checklist());
        QVERIFY(!c.save_preferences());
    };
    {
        FailStep rename("rename entries.dat");
        FaultScope scope(&rename);
        QVERIFY(!c.restore_data(b.backup()));
        QVERIFY(rename.failed);
    }
    QVERIFY(b.fx.messages.box_texts().value(0).startsWith("Error: Unable to Restore Data. Progress: 4 Error: "));
    QCOMPARE(securities(c), QStringList({"Alpha", "Bravo", "Charlie"}));
    save_refused();

    // A second restore finishes the first switch, then fails to stage its own files.
    {
        FailStep write("write VarData.dat");
        FaultScope scope(&write);
        QVERIFY(!c.restore_data(b.backup()));
        QVERIFY(write.failed);
    }
    QCOMPARE(data_files(b.fx.dir.path()), backed_up);
    save_refused();

    b.fx.restart();
    QCOMPARE(securities(*b.fx.core), QStringList({"Alpha", "Bravo"}));
    add_entry(*b.fx.core, "Delta");
}

void TestBackup::cut_short_at_every_step_data() { add_operation_rows(); }

// The process dies at each step in turn. After the next start (a restore) or the next use
// of the backup folder (a backup), the files are all as before or all as after, and a
// start after a restore cut short says once which it made of it.
void TestBackup::cut_short_at_every_step() {
    QFETCH(bool, restore);
    OperationFixture op(restore);
    KillAt counter(0);
    op.reset();
    {
        FaultScope scope(&counter);
        QVERIFY(op.run());
    }
    QCOMPARE(op.current(), op.newer);
    QVERIFY(!QFileInfo::exists(FileSwitch::staging_folder(op.watched())));

    int mixed = 0, kept_old = 0, kept_new = 0, told_wrong = 0;
    for (int n = 1; n <= counter.steps + 1; ++n) {
        op.reset();
        KillAt kill(n);
        {
            FaultScope scope(&kill);
            op.run();
        }
        const bool left = op.staging_left();
        op.b.fx.messages.boxes.clear();
        op.settle();
        const QMap<QString, QByteArray> now = op.current();
        if (now == op.older)
            ++kept_old;
        else if (now == op.newer)
            ++kept_new;
        else
            ++mixed;
        QVERIFY2(!QFileInfo::exists(FileSwitch::staging_folder(op.watched())), qPrintable(QString("kill at %1").arg(n)));
        if (restore) {
            told_wrong += op.restore_notices() != (left ? 1 : 0);
            // What the start loaded is what it left on disk.
            QCOMPARE(securities(*op.b.fx.core),
                     now == op.newer ? QStringList({"Alpha", "Bravo"}) : QStringList({"Alpha", "Bravo", "Charlie"}));
        }
    }
    QCOMPARE(mixed, 0);
    QCOMPARE(told_wrong, 0);
    QVERIFY(kept_old > 0);
    QVERIFY(kept_new > 1);
    qInfo("%s: %d kill points (%d left all as before, %d all as after), %d mixed", restore ? "restore" : "backup",
          counter.steps + 1, kept_old, kept_new, mixed);
}

void TestBackup::full_disk_changes_nothing_data() { add_operation_rows(); }

// At every level of free space up to the one it needs, the operation fails with the
// system's reason and changes nothing; with enough room it is whole.
void TestBackup::full_disk_changes_nothing() {
    QFETCH(bool, restore);
    OperationFixture op(restore);
    int levels = 0, damaged = 0;
    for (qint64 free_bytes = 0;; free_bytes += 1500) {
        op.reset();
        FillingDisk disk(restore ? op.b.fx.dir.path() : op.b.pick.path(), free_bytes, true);
        bool ok = false;
        {
            FaultScope scope(&disk);
            ok = op.run();
        }
        ++levels;
        const QMap<QString, QByteArray> now = op.current();
        damaged += now != (ok ? op.newer : op.older);
        QVERIFY(!QFileInfo::exists(FileSwitch::staging_folder(op.watched())));
        if (ok) break;
        const QStringList told = op.b.fx.messages.box_texts();
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].endsWith("No space left on device"), qPrintable(told[0]));
        if (restore) QCOMPARE(securities(*op.b.fx.core), QStringList({"Alpha", "Bravo", "Charlie"}));
    }
    QVERIFY(levels > 20);
    QCOMPARE(damaged, 0);
    qInfo("%s: %d free-space levels (%d failed), %d left damaged or mixed", restore ? "restore" : "backup", levels,
          levels - 1, damaged);
}

namespace {

// The record files grow to many entries: every record repeated, so that a copy takes a
// while and a kill can land anywhere in it.
void grow_data_files(const QString& folder, int times) {
    for (const char* name : {"entries.dat", "VarData.dat", "chklist.dat"}) {
        const QByteArray once = read_file(folder + u'/' + name);
        write_file(folder + u'/' + name, once.repeated(times));
    }
}

} // namespace

void TestBackup::real_kills_data() { add_operation_rows(); }

// A child restores two backups in turn (or backs up two program folders in turn into one
// backup folder) until it is killed at a random moment; after each kill the files are
// wholly one of the two.
void TestBackup::real_kills() {
    QFETCH(bool, restore);
    constexpr int kEntryCopies = 3000;  // entries.dat of 9,000 records
    BackupFixture first(true), second(true);
    add_entry(*second.fx.core, "Charlie");
    second.fx.core->Checklists[0].Name = "Other list";
    QVERIFY(second.fx.core->save_checklist());
    make_file(second.fx.path("WebData/page.htm"), "page v2");
    grow_data_files(first.fx.dir.path(), kEntryCopies);
    grow_data_files(second.fx.dir.path(), kEntryCopies);
    QTemporaryDir backups;
    QVERIFY(first.fx.core->backup_data(backups.path()));
    const QString backup_a = backups.path() + "/QB_BackupData";
    QVERIFY(second.fx.core->backup_data(second.pick.path()));
    const QString backup_b = second.backup();
    const QString program = first.fx.dir.path();
    const QString watched = restore ? program : backup_a;
    auto state = [&](const QString& folder) { return restore ? data_files(folder) : folder_files(folder); };
    const QMap<QString, QByteArray> one = state(restore ? program : backup_a);
    const QMap<QString, QByteArray> two = restore ? data_files(backup_b) : folder_files(backup_b);
    QVERIFY(one != two);
    first.fx.core.reset();
    second.fx.core.reset();
    Platform platform = first.fx.platform();

    auto operation = [&](bool other) {
        if (restore) {
            Core c(program, platform);
            c.init_blank_entry();
            c.init_blank_checklist();
            c.restore_data(other ? backup_b : backup_a);
        } else {
            Core c(other ? second.fx.dir.path() : program, platform);
            c.backup_data(backups.path());
        }
    };
    // The kills spread over a whole operation, as long as it takes on this machine.
    QElapsedTimer timer;
    timer.start();
    operation(false);
    const quint32 window_us = quint32(timer.nsecsElapsed() / 1000) * 6 / 5 + 1;

    QRandomGenerator rng(31);
    const int kills = kill_rounds(20);
    int mixed = 0, found_two = 0, notices = 0;
    for (int round = 0; round < kills; ++round) {
        QVERIFY(kill_child_after(rng.bounded(window_us), [&](const std::function<void()>& ready) {
            for (int k = 0;; ++k) {
                operation(k % 2 == 0);
                ready();
            }
        }));
        first.fx.messages.boxes.clear();
        if (restore) {
            Core c(program, platform);
            c.init_blank_entry();
            c.load_summary_data();
        } else {
            FileSwitch::Settlement done;
            QString why;
            QVERIFY(FileSwitch::settle(watched, done, why));
        }
        notices += first.fx.messages.box_texts().filter("A restore of your data was cut short").size();
        const QMap<QString, QByteArray> now = state(watched);
        if (now != one && now != two) ++mixed;
        found_two += now == two;
        QVERIFY(!QFileInfo::exists(FileSwitch::staging_folder(watched)));
    }
    QCOMPARE(mixed, 0);
    qInfo("real kills during %s of %d ms: %d kills (%d found the second state, %d starts told of a restore cut "
          "short), %d folders mixed",
          restore ? "restores" : "backups", int(window_us / 1200), kills, found_two, notices, mixed);
}

void TestBackup::damaged_switch_records_are_not_followed_data() {
    QTest::addColumn<QByteArray>("record");
    // A record of one file to take the place of `name`.
    auto naming = [](const QByteArray& name) {
        QByteArray body;
        put_le(body, quint32(1));
        put_le(body, quint8(1));
        put_le(body, quint16(name.size()));
        return body + name;
    };
    auto framed = [](const QByteArray& body, bool good_hash) { return qb::test::framed("QBS1", body, good_hash); };
    QTest::newRow("torn") << framed(naming("entries.dat"), true).chopped(3);
    QTest::newRow("wrong hash") << framed(naming("entries.dat"), false);
    QTest::newRow("a file above the folder") << framed(naming("../victim.dat"), true);
    QTest::newRow("a path below a sub-folder") << framed(naming("WebData/x/victim.dat"), true);
    QTest::newRow("an absolute path") << framed(naming("/tmp/victim.dat"), true);
}

// Only a whole record of the program's own names is followed: a torn, damaged or foreign
// one undoes the switch and touches nothing outside the staging folder.
void TestBackup::damaged_switch_records_are_not_followed() {
    QFETCH(QByteArray, record);
    QTemporaryDir root;
    const QString folder = root.path() + "/data";
    make_file(folder + "/entries.dat", "stored");
    make_file(root.path() + "/victim.dat", "victim");
    const QString staging = FileSwitch::staging_folder(folder);
    make_file(staging + "/entries.dat", "staged");
    make_file(staging + "/switch.journal", record);
    FileSwitch::Settlement done;
    QString why;
    QVERIFY(FileSwitch::settle(folder, done, why));
    QCOMPARE(int(done.what), int(FileSwitch::Settled::undone));
    QCOMPARE(read_file(folder + "/entries.dat"), QByteArray("stored"));
    QCOMPARE(read_file(root.path() + "/victim.dat"), QByteArray("victim"));
    QVERIFY(!QFileInfo::exists(staging));
}

namespace {

// A save of a new entry and of the other files is refused with the restore's message.
void saves_refused(BackupFixture& b) {
    Core& c = *b.fx.core;
    b.fx.messages.boxes.clear();
    SummaryEntry* e = start_new_entry(c);
    QVERIFY(e);
    e->security = "Delta";
    QVERIFY(!c.save_entry());
    QVERIFY(b.fx.messages.box_texts().contains(
        "Error: Data NOT Saved. A restore of your data could not be finished; it is finished at the next start of "
        "Quorbelix."));
    QVERIFY(!c.save_checklist());
    QVERIFY(!c.save_preferences());
}

// A restore of the fixture's backup that stops at its first rename, past the commit point:
// the record is whole and every data file staged.
void restore_stopped_at_first_rename(BackupFixture& b) {
    FailStep rename("rename VarData.dat");
    FaultScope scope(&rename);
    QVERIFY(!b.fx.core->restore_data(b.backup()));
    QVERIFY(rename.failed);
}

QStringList restore_notices(const BackupFixture& b) {
    return b.fx.messages.box_texts().filter("A restore of your data");
}

} // namespace

void TestBackup::linked_staging_touches_nothing_outside_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("in_backup");  // the backup folder's staging, else the program folder's
    QTest::newRow("start") << "start" << false;
    QTest::newRow("restore, the program folder's staging") << "restore" << false;
    QTest::newRow("restore, the backup's staging a relative link") << "restore" << true;
    QTest::newRow("backup, the backup's staging a relative link") << "backup" << true;
}

// A staging folder that is a link to a folder of files (one that holds a whole record of its
// own) is removed as a link: nothing it names is removed, replaced or written, and the
// operation goes on.
void TestBackup::linked_staging_touches_nothing_outside() {
    QFETCH(QString, operation);
    QFETCH(bool, in_backup);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    const QString outside = b.pick.path() + "/outside";
    make_file(outside + "/entries.dat", "outside entries");
    make_file(outside + "/notes.txt", "outside notes");
    make_file(outside + "/deeper/inner.txt", "outside inner");
    make_file(outside + "/switch.journal", switch_record({"entries.dat"}));
    const QMap<QString, QByteArray> before = files_below(outside);
    const QString staging = FileSwitch::staging_folder(in_backup ? b.backup() : b.fx.dir.path());
    QVERIFY(in_backup ? make_link("../outside", staging) : make_link(outside, staging));
    const QMap<QString, QByteArray> backed_up = data_files(b.backup());
    b.fx.messages.boxes.clear();

    bool done = true;
    if (operation == "start") b.fx.restart();
    if (operation == "restore") done = c.restore_data(b.backup());
    if (operation == "backup") done = c.backup_data(b.pick.path());
    const int lost = files_lost(before, files_below(outside));
    qInfo("%s: %d files outside the folders removed or changed", QTest::currentDataTag(), lost);
    QCOMPARE(lost, 0);
    QVERIFY(done);
    QCOMPARE(b.fx.messages.box_texts(), QStringList());
    QVERIFY(!stands(staging));
    if (operation == "restore") QCOMPARE(data_files(b.fx.dir.path()), backed_up);
    if (operation == "backup") QCOMPARE(data_files(b.backup()), data_files(b.fx.dir.path()));
}

void TestBackup::switch_meeting_a_folder_is_finished_around_it_data() {
    QTest::addColumn<bool>("folder_in_place");  // else the staged copy is gone too
    QTest::newRow("a folder in pref.dat's place") << true;
    QTest::newRow("pref.dat gone from the staging and the folder") << false;
}

// A restore's switch that cannot replace one name is finished around it at the next start:
// the name is left as it is, the user is told once which it is, and saves go on.
void TestBackup::switch_meeting_a_folder_is_finished_around_it() {
    QFETCH(bool, folder_in_place);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    restore_stopped_at_first_rename(b);
    QVERIFY(QFile::remove(b.fx.path("pref.dat")));
    if (folder_in_place)
        make_file(b.fx.path("pref.dat/kept.txt"), "kept");
    else
        QVERIFY(QFile::remove(FileSwitch::staging_folder(b.fx.dir.path()) + "/pref.dat"));
    b.fx.messages.boxes.clear();

    b.fx.restart();
    QCOMPARE(restore_notices(b),
             QStringList{"Warning: A restore of your data was cut short. It has now been finished: the data files are "
                         "those of the backup, but for these, left as they were because a folder stands in their "
                         "place or their copy from the backup is gone: " +
                         QDir::toNativeSeparators(b.fx.path("pref.dat")) +
                         ". Saved web pages may not all have been copied back; run the restore again to copy them."});
    QCOMPARE(securities(*b.fx.core), QStringList({"Alpha", "Bravo"}));
    QCOMPARE(read_file(b.fx.path("entries.dat")), read_file(b.backup("entries.dat")));
    if (folder_in_place) QCOMPARE(read_file(b.fx.path("pref.dat/kept.txt")), QByteArray("kept"));
    QVERIFY(!stands(FileSwitch::staging_folder(b.fx.dir.path())));
    add_entry(*b.fx.core, "Delta");
    b.fx.messages.boxes.clear();
    b.fx.restart();
    QCOMPARE(restore_notices(b), QStringList());
}

void TestBackup::staging_that_cannot_be_cleared_is_told_data() {
    QTest::addColumn<bool>("read_only");  // else one staged file cannot be removed
    QTest::addColumn<QString>("error");
    QTest::newRow("read-only mount") << true << "Read-only file system";
    QTest::newRow("a staged file that cannot be removed") << false << "Input/output error";
}

// A restore cut short before its commit point whose staging cannot be removed: the start
// says that the data is as it was and names the folder that could not be cleared, never
// that the restore was undone.
void TestBackup::staging_that_cannot_be_cleared_is_told() {
    QFETCH(bool, read_only);
    QFETCH(QString, error);
    CoreFixture fx;
    fx.start();
    make_file(FileSwitch::staging_folder(fx.dir.path()) + "/entries.dat", "staged");
    fx.messages.boxes.clear();
    QString folder = fx.dir.path();
    std::unique_ptr<ReadOnlyView> view;
    if (read_only) {
        view = std::make_unique<ReadOnlyView>(fx.dir.path());
        if (!view->mounted) QSKIP("a read-only bind mount needs the right to mount");
        folder = view->path();
        Core c(folder, fx.platform());
        c.init_blank_entry();
        c.load_summary_data();
    } else {
        FailStep remove("remove entries.dat");
        FaultScope scope(&remove);
        fx.restart();
        QVERIFY(remove.failed);
    }
    const QStringList told = fx.messages.box_texts().filter("restore");
    QCOMPARE(told, QStringList{"Warning: A restore of your data was cut short before it replaced any data file: your "
                               "data is as it was before the restore. The staging folder " +
                               QDir::toNativeSeparators(FileSwitch::staging_folder(folder)) +
                               " could not be cleared. Error: " + error + "."});
}

void TestBackup::staging_name_taken_by_a_file_is_told_data() {
    QTest::addColumn<QString>("operation");
    QTest::newRow("start") << "start";
    QTest::newRow("restore") << "restore";
    QTest::newRow("backup") << "backup";
}

// A file in the staging folder's place is left as it is, and every message on it names it.
void TestBackup::staging_name_taken_by_a_file_is_told() {
    QFETCH(QString, operation);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    const QString file = FileSwitch::staging_folder(operation == "backup" ? b.backup() : b.fx.dir.path());
    write_file(file, "not a folder");
    const QString named = QDir::toNativeSeparators(file) + " could not be cleared. Error: Not a directory.";
    const QMap<QString, QByteArray> program = data_files(b.fx.dir.path()), backup = folder_files(b.backup());
    b.fx.messages.boxes.clear();

    if (operation == "start") {
        b.fx.restart();
        QCOMPARE(b.fx.messages.box_texts(), QStringList{"Warning: The staging folder " + named});
        add_entry(*b.fx.core, "Charlie");  // saves go on
    }
    if (operation == "restore") {
        QVERIFY(!c.restore_data(b.backup()));
        QCOMPARE(b.fx.messages.box_texts(), QStringList{"Error: Unable to Restore Data. The staging folder " + named});
        QCOMPARE(data_files(b.fx.dir.path()), program);
    }
    if (operation == "backup") {
        QVERIFY(!c.backup_data(b.pick.path()));
        QCOMPARE(b.fx.messages.box_texts(), QStringList{"Error: Unable to Backup Data. The staging folder " + named});
        QCOMPARE(folder_files(b.backup()), backup);
    }
    QCOMPARE(b.hides, b.waits.size());
    QCOMPARE(read_file(file), QByteArray("not a folder"));
}

// A folder named as the backup folder is never taken for a page folder: a backup leaves one
// of the program folder out, and a restore does not bring one of the backup back.
void TestBackup::backup_folder_is_no_page_folder() {
    BackupFixture b(false);
    Core& c = *b.fx.core;
    make_file(b.fx.path("QB_BackupData/entries.dat"), "an older backup");
    QVERIFY(c.backup_data(b.pick.path()));
    QVERIFY(!QFileInfo::exists(b.backup("QB_BackupData")));
    QVERIFY(QDir(b.fx.path("QB_BackupData")).removeRecursively());
    make_file(b.backup("QB_BackupData/entries.dat"), "a backup within the backup");
    QVERIFY(c.restore_data(b.backup()));
    QVERIFY(!QFileInfo::exists(b.fx.path("QB_BackupData")));
    QCOMPARE(read_file(b.fx.path("WebData/page.htm")), QByteArray("page v1"));
    QCOMPARE(b.fx.messages.box_texts(), QStringList());
}

// A restore's switch that a start cannot finish keeps saves refused, also through a later
// load of the tables while it still cannot be finished; the load that finishes it lets
// them go on.
void TestBackup::settle_failing_at_start_refuses_saves() {
    BackupFixture b(false);
    QVERIFY(b.fx.core->backup_data(b.pick.path()));
    add_entry(*b.fx.core, "Charlie");
    restore_stopped_at_first_rename(b);
    b.fx.messages.boxes.clear();
    {
        FailStep rename("rename VarData.dat");
        FaultScope scope(&rename);
        b.fx.restart();
        QVERIFY(rename.failed);
    }
    QVERIFY(b.fx.messages.box_texts().value(0).startsWith(
        "Error: A restore of your data was cut short and could not be finished. Error: "));
    saves_refused(b);
    {
        FailStep rename("rename VarData.dat");
        FaultScope scope(&rename);
        b.fx.core->load_summary_data();
        QVERIFY(rename.failed);
    }
    saves_refused(b);
    b.fx.core->load_summary_data();
    QCOMPARE(securities(*b.fx.core), QStringList({"Alpha", "Bravo"}));
    add_entry(*b.fx.core, "Delta");
}

// A restore killed while it copies the page folders keeps its record: the next start says
// that the pages may not all be back.
void TestBackup::restore_cut_short_in_page_copy_is_told() {
    OperationFixture op(true);
    op.reset();
    KillAt counter(0);
    {
        FaultScope scope(&counter);
        QVERIFY(op.run());
    }
    // The first file of a page folder written.
    int first_page_step = 0;
    for (int i = 0; i < counter.log.size() && !first_page_step; ++i) {
        const Step& s = counter.log[i];
        if (s.op == FileOp::write && s.file != "switch.journal" && !kDataFiles.contains(s.file))
            first_page_step = i + 1;
    }
    QVERIFY(first_page_step > 0);
    op.reset();
    KillAt kill(first_page_step);
    {
        FaultScope scope(&kill);
        op.run();
    }
    op.b.fx.messages.boxes.clear();
    op.settle();
    QCOMPARE(op.current(), op.newer);
    QCOMPARE(restore_notices(op.b),
             QStringList{"Warning: A restore of your data was cut short. It has now been finished: the data files are "
                         "those of the backup. Saved web pages may not all have been copied back; run the restore "
                         "again to copy them."});
}

// A page folder that cannot be listed fails the backup, and the older backup stays whole.
void TestBackup::unlistable_page_folder_fails_the_backup() {
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    const QMap<QString, QByteArray> older = folder_files(b.backup());
    make_file(b.fx.path("WebData/page.htm"), "page v2");
    const QByteArray webdata = QFile::encodeName(b.fx.path("WebData"));
    QCOMPARE(::chmod(webdata.constData(), 0), 0);
    bool ok = true;
    {
        PermissionBitsHold hold;
        ok = c.backup_data(b.pick.path());
    }
    QCOMPARE(::chmod(webdata.constData(), 0755), 0);
    QVERIFY(!ok);
    QCOMPARE(b.fx.messages.box_texts(), QStringList{"Error: Failed to Copy Folder: WebData, Error: Permission denied"});
    QCOMPARE(folder_files(b.backup()), older);
    QCOMPARE(b.hides, b.waits.size());
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
