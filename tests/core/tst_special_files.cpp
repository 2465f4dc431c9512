// What the program opens on its own, each with a FIFO, a link to one, a socket or a link
// to a device in its place: the record files, the save journal, pref.dat, the shipped
// texts, a checklist to import and a report added to. Nothing waits on them, nothing is
// written through them or replaces them, and the user hears why through that file's own
// message; a link to a regular file keeps working.
#include "support/fakes.h"
#include "support/special_files.h"

#include <QDir>
#include <QtTest>

using namespace qb;
using namespace qb::test;

class TestSpecialFiles : public QObject {
    Q_OBJECT

private slots:
    void nothing_waits_on_a_special_file_data();
    void nothing_waits_on_a_special_file();
};

namespace {

const QString kFifo = "Not a regular file but a named pipe (FIFO)";
const QString kSocket = "Not a regular file but a socket";
const QString kDevice = "Not a regular file but a device";
const QString kNoChecklists = "Error: Checklist File NOT Found. Using Default Checklist";

// An entry that writes entries.dat and VarData.dat when saved.
void fill_new_entry(Core& c, const QString& details) {
    SummaryEntry* e = start_new_entry(c);
    QVERIFY(e);
    e->security = "Special Holdings";
    e->transaction = "Buy";
    e->other.present = kTrue;
    e->other.text = details;
}

} // namespace

void TestSpecialFiles::nothing_waits_on_a_special_file_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("told");
    auto row = [](const QString& file, const QString& kind, const QString& op, const QStringList& told) {
        QTest::newRow(qPrintable(file + ", " + kind + ", " + op)) << file << kind << op << told;
    };
    const struct {
        const char* kind;
        QString why;
    } kinds[] = {{"fifo", kFifo}, {"link to fifo", kFifo}, {"socket", kSocket}, {"link to a device", kDevice}};
    for (const auto& k : kinds) {
        const QString why = k.why;
        const QString kind = k.kind;
        row("entries.dat", kind, "start",
            {"Error: Reading Summary file failed: <folder>/entries.dat" + why, kNoChecklists});
        row("entries.dat", kind, "save new entry",
            {"Error: Writing Summary data file<folder>/entries.daterror...Index: 2Error: " + why,
             "Error: Add Summary Data Failed. File Error"});
        row("entries.dat", kind, "edit entry",
            {"Error: Writing Summary data file<folder>/entries.daterror...Index: 2Error: " + why});
        row("VarData.dat", kind, "start", {"Error: Unable to Open VarData Data File: <folder>/VarData.dat", kNoChecklists});
        row("VarData.dat", kind, "save new entry",
            {"Error: Writing to Vardata for Other info failded. Error: " + why,
             "Error: Error writing to Vardata for Checklists. Error: " + why});
        row("VarData.dat", kind, "edit entry",
            {"Error: Unable to open Vardata file for Other info. Error: " + why,
             "Error: Unable to open Vardata file. No Checklists Read. Error " + why,
             "Error: Writing to Vardata for Other info failded. Error: " + why});
        row("chklist.dat", kind, "start", {"Error: Reading Checklists file <folder>/chklist.dat failed, i,rec_idx:0,-1" + why});
        row("chklist.dat", kind, "save checklist", {"Error: Writing Checklist file: <folder>/chklist.dat  error..." + why});
        const QString journal_stuck = "Error: A save that was cut short could not be undone. Error: " + why +
                                      ". Nothing can be saved until <folder>/save.journal can be applied.";
        row("save.journal", kind, "start", {journal_stuck, kNoChecklists});
        row("save.journal", kind, "edit entry", {journal_stuck});
        row("pref.dat", kind, "start",
            {kNoChecklists, "Error: Failure to read Preferences (Pref.dat file). Error: " + why +
                                ". The default preferences are used until you save yours."});
        row("tips.txt", kind, "tips", {"Error: Unable to read Tips.txt file. Error: " + why});
        row("tour.txt", kind, "tour", {"Warning: Can not access tour.txt, Tour cant be shown: " + why});
        row("my checklist.txt", kind, "import checklist", {"Error: Unable to read the imported checklist file. Error: " + why});
        row("report.txt", kind, "append to report", {"Error: Failure to generate report. Error: " + why});
    }
    // A link to a regular file is the file.
    row("entries.dat", "link to a file", "save new entry", {});
    row("VarData.dat", "link to a file", "save new entry", {});
    row("VarData.dat", "link to a file", "edit entry", {});
    row("report.txt", "link to a file", "append to report", {});
}

// The special file is put in place before the start for "start", else after the start (and
// after one entry was saved, for "edit entry"), before the operation.
void TestSpecialFiles::nothing_waits_on_a_special_file() {
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, op);
    QFETCH(QStringList, told);
    CoreFixture fx;
    Core* c = fx.core.get();
    const QString path = fx.path(file);
    const QString other = fx.path("other");  // what a link to a special file names
    const QString linked = fx.path("kept/" + file);
    int32_t saved = -1;
    if (op != "start") {
        fx.start();
        if (op == "edit entry") {
            fill_new_entry(*c, "details of a saved entry");
            QVERIFY(c->save_entry());
            saved = c->current_entry.index;
        }
    }
    if (kind == "link to a file") {
        // What the program made or wrote so far moves behind the link.
        QVERIFY(QDir(fx.dir.path()).mkpath("kept"));
        if (QFileInfo::exists(path)) QVERIFY(QFile::rename(path, linked));
        else write_file(linked, "first line\r\n");
        QVERIFY(QFile::link("kept/" + file, path));
    } else {
        QFile::remove(path);
        int socket_fd = -1;
        QVERIFY(make_special_file(path, kind, other, socket_fd));
        // Bound once, the socket keeps its name without a descriptor behind it.
        if (socket_fd >= 0) ::close(socket_fd);
    }
    const mode_t before = kind_of(path);
    const QString named = QFileInfo(path).symLinkTarget();
    const mode_t named_before = kind_of(named);
    const QByteArray linked_before = read_file(linked);
    fx.messages.boxes.clear();

    FifoWatchdog watchdog(path);
    if (op == "start") {
        fx.start();
    } else if (op == "save new entry") {
        fill_new_entry(*c, "details of a new entry");
        c->save_entry();
    } else if (op == "edit entry") {
        c->load_entry(saved);
        c->current_entry.entry.other.text = "details edited";
        c->save_entry();
    } else if (op == "save checklist") {
        c->Checklists[0].Inuse = kTrue;
        c->Checklists[0].Name = "Rules of Special Files";
        c->save_checklist();
    } else if (op == "import checklist") {
        Checklist r = c->blank_checklist;
        c->import_checklist(r, path);
    } else if (op == "append to report") {
        c->write_text_file(path, "one more line", true);
    } else if (op == "tips") {
        c->load_tips();
    } else if (op == "tour") {
        int16_t count = 0;
        QStringList titles, descriptions;
        c->load_tour_text(count, titles, descriptions);
    }
    watchdog.release();
    QVERIFY2(!watchdog.rescued, "waited on the FIFO");
    told.replaceInStrings("<folder>", fx.dir.path());
    QCOMPARE(fx.messages.box_texts(), told);
    QCOMPARE(kind_of(path), before);  // never replaced by a file, nor what a link names
    QCOMPARE(kind_of(named), named_before);
    if (kind == "link to a file") QVERIFY(read_file(linked) != linked_before);
}

QTEST_GUILESS_MAIN(TestSpecialFiles)
#include "tst_special_files.moc"
