// Backup to a folder and restore from it, on temporary program and backup folders.
#include "core/ole_date.h"
#include "support/fakes.h"
#include "support/journal_bytes.h"

#include <QDir>
#include <QtTest>

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

    QVERIFY(!c.backup_data(folder));
    QCOMPARE(b.fx.messages.boxes.size(), 1);
    QVERIFY2(b.fx.messages.boxes[0].second.startsWith(message), qPrintable(b.fx.messages.boxes[0].second));
    QCOMPARE(b.hides, b.waits.size());  // the wait window never stays up
    if (setup == "gone") QVERIFY(!QFileInfo::exists(folder));
    if (setup == "program" || setup == "webdata") QVERIFY(!QFileInfo::exists(folder + "/QB_BackupData"));
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
    QTest::addColumn<bool>("replaced_before");
    QTest::newRow("first file") << "VarData.dat" << 1 << false;
    QTest::newRow("third file") << "chklist.dat" << 3 << true;
    QTest::newRow("pref.dat") << "pref.dat" << 4 << true;
}

void TestBackup::restore_failure_midway() {
    QFETCH(QString, blocked);
    QFETCH(int, step);
    QFETCH(bool, replaced_before);
    BackupFixture b(true);
    Core& c = *b.fx.core;
    QVERIFY(c.backup_data(b.pick.path()));
    add_entry(c, "Charlie");
    // A folder where the file should be: no copy can replace it, whoever runs the test.
    QFile::remove(b.fx.path(blocked));
    QVERIFY(QDir().mkpath(b.fx.path(blocked) + "/in the way"));
    b.waits.clear();

    QVERIFY(!c.restore_data(b.backup()));
    const QStringList texts = b.fx.messages.box_texts();
    QVERIFY(!texts.isEmpty());
    QVERIFY2(texts[0].startsWith(QStringLiteral("Error: Unable to Restore Data. Progress: %1 Error: ").arg(step)),
             qPrintable(texts[0]));
    QCOMPARE(b.hides, b.waits.size() + 1);  // hidden after the backup and after the failed restore
    const QString reloaded =
        "Warning: The restore stopped part way, after some of your data files had been replaced. The data now in "
        "the program folder has been loaded again; please check it, or run the restore again.";
    if (replaced_before) {
        // The tables follow the restored entries.dat, so the next save cannot mix the two.
        QCOMPARE(texts.last(), reloaded);
        QCOMPARE(securities(c), (QStringList{"Alpha", "Bravo"}));
        QCOMPARE(c.current_entry.entry.security, QString("Alpha"));
        QCOMPARE(b.resets, 1);
    } else {
        QCOMPARE(texts.size(), 1);
        QCOMPARE(securities(c), (QStringList{"Alpha", "Bravo", "Charlie"}));
        QCOMPARE(b.resets, 0);
    }
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

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
