// A set of files switched as one, on a temporary folder beside a folder outside it.
#include "core/file_switch.h"
#include "support/fakes.h"
#include "support/file_faults.h"
#include "support/journal_bytes.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

void make_file(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    write_file(path, bytes);
}

// A folder of files to switch, and a folder beside it that no switch may touch.
struct Folders {
    Folders() {
        make_file(at("a.dat"), "stored a");
        make_file(at("b.dat"), "stored b");
        make_file(at("WebData/p.htm"), "stored p");
        make_file(outside() + "/a.dat", "outside a");
        make_file(outside() + "/WebData/p.htm", "outside p");
        make_file(outside() + "/notes.txt", "outside notes");
        make_file(outside() + "/deeper/inner.txt", "outside inner");
        // A whole record of its own, as if the outside folder were a staging folder.
        make_file(outside() + "/switch.journal", switch_record({"a.dat", "WebData/p.htm"}));
    }
    QString folder() const { return root.path() + "/data"; }
    QString outside() const { return root.path() + "/outside"; }
    QString staging() const { return FileSwitch::staging_folder(folder()); }
    QString at(const QString& rel) const { return folder() + u'/' + rel; }
    QString staged(const QString& rel) const { return staging() + u'/' + rel; }
    // The folder's own files, the staging left out.
    QMap<QString, QByteArray> own() const {
        QMap<QString, QByteArray> files = files_below(folder());
        for (const QString& name : files.keys())
            if (name.startsWith(".QB_Staging/")) files.remove(name);
        return files;
    }
    QTemporaryDir root;
};

// Logs each step of the file layer with the path below the folder.
class StepLog : public FileFault {
public:
    explicit StepLog(const QString& folder) : folder_(folder) {}
    qint64 allow_write(const QString& path, qint64, qint64 len) override {
        steps << "write " + rel(path);
        return len;
    }
    bool allow_op(FileOp op, const QString& path) override {
        const char* names[] = {"write", "sync", "sync folder", "rename", "remove", "resize", "size"};
        steps << QString::fromLatin1(names[int(op)]) + u' ' + rel(path);
        return true;
    }
    bool allow_change(const QString&) override { return true; }
    int error_number() const override { return EIO; }
    QStringList steps;

private:
    QString rel(const QString& path) const { return QDir(folder_).relativeFilePath(path); }
    QString folder_;
};

// Puts a link in a staged file's or sub-folder's place while the first file is staged, as
// another program could.
class PlantLink : public FileFault {
public:
    PlantLink(const QString& first, const QString& at, const QString& target)
        : first_(first), at_(at), target_(target) {}
    qint64 allow_write(const QString& path, qint64, qint64 len) override {
        if (!planted && path == first_) planted = make_link(target_, at_);
        return len;
    }
    bool allow_change(const QString&) override { return true; }
    int error_number() const override { return EIO; }
    bool planted = false;

private:
    QString first_, at_, target_;
};

} // namespace

class TestFileSwitch : public QObject {
    Q_OBJECT

private slots:
    void links_in_the_staging_are_not_followed_data();
    void links_in_the_staging_are_not_followed();
    void staging_writes_through_no_link_data();
    void staging_writes_through_no_link();
    void names_that_cannot_take_their_file_are_kept_data();
    void names_that_cannot_take_their_file_are_kept();
    void switch_steps_in_order();
    void failed_record_step_leaves_every_file_data();
    void failed_record_step_leaves_every_file();
};

void TestFileSwitch::links_in_the_staging_are_not_followed_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<int>("what");
    const int nothing = int(FileSwitch::Settled::nothing), finished = int(FileSwitch::Settled::finished),
              undone = int(FileSwitch::Settled::undone);
    QTest::newRow("staging folder a link") << "staging link" << QStringList() << nothing;
    QTest::newRow("staging folder a relative link") << "staging relative link" << QStringList() << nothing;
    QTest::newRow("staged file a link") << "staged file link" << QStringList{"a.dat"} << finished;
    QTest::newRow("staged sub-folder a link") << "staged sub link" << QStringList{"WebData/p.htm"} << finished;
    QTest::newRow("staged sub-folder a link, no record") << "staged sub link, no record" << QStringList() << undone;
    QTest::newRow("page folder a link") << "page folder link" << QStringList{"WebData/p.htm"} << finished;
}

// Whatever links stand in and below the staging folder, a settle removes and replaces
// nothing outside the folder, and renames no link into it.
void TestFileSwitch::links_in_the_staging_are_not_followed() {
    QFETCH(QString, setup);
    QFETCH(QStringList, kept);
    QFETCH(int, what);
    Folders f;
    if (setup == "page folder link") {
        QDir(f.at("WebData")).removeRecursively();
        QVERIFY(make_link(f.outside() + "/WebData", f.at("WebData")));
    }
    const QMap<QString, QByteArray> outside = files_below(f.outside()), own = f.own();
    if (setup == "staging link") QVERIFY(make_link(f.outside(), f.staging()));
    if (setup == "staging relative link") QVERIFY(make_link("../outside", f.staging()));
    if (setup == "staged file link") {
        make_file(f.staged("switch.journal"), switch_record({"a.dat"}));
        QVERIFY(make_link(f.outside() + "/a.dat", f.staged("a.dat")));
    }
    if (setup.startsWith("staged sub link")) {
        if (!setup.endsWith("no record")) make_file(f.staged("switch.journal"), switch_record({"WebData/p.htm"}));
        QDir().mkpath(f.staging());
        QVERIFY(make_link(f.outside() + "/WebData", f.staged("WebData")));
    }
    if (setup == "page folder link") {
        make_file(f.staged("WebData/p.htm"), "staged p");
        make_file(f.staged("switch.journal"), switch_record({"WebData/p.htm"}));
    }

    FileSwitch::Settlement done;
    QString why;
    QVERIFY2(FileSwitch::settle(f.folder(), done, why), qPrintable(why));
    const int removed_outside = files_lost(outside, files_below(f.outside()));
    qInfo("%s: %d files outside the folder removed or changed", qPrintable(setup), removed_outside);
    QCOMPARE(removed_outside, 0);
    QCOMPARE(f.own(), own);
    QCOMPARE(done.kept, kept);
    QCOMPARE(int(done.what), what);
    QCOMPARE(done.not_cleared, QString());
    QVERIFY(!stands(f.staging()));
    QVERIFY(!QFileInfo(f.at("a.dat")).isSymLink());
}

void TestFileSwitch::staging_writes_through_no_link_data() {
    QTest::addColumn<QString>("planted");  // below the staging folder
    QTest::addColumn<QString>("target");   // below the outside folder
    QTest::addColumn<int>("tag");
    QTest::newRow("a staged file") << "b.dat" << "notes.txt" << 2;
    QTest::newRow("a staged sub-folder") << "WebData" << "WebData" << 3;
}

// A link that turns up where a file is to be staged is never written through.
void TestFileSwitch::staging_writes_through_no_link() {
    QFETCH(QString, planted);
    QFETCH(QString, target);
    QFETCH(int, tag);
    Folders f;
    make_file(f.root.path() + "/new/a.dat", "new a");
    make_file(f.root.path() + "/new/b.dat", "new b");
    make_file(f.root.path() + "/new/p.htm", "new p");
    const QMap<QString, QByteArray> outside = files_below(f.outside()), own = f.own();
    FileSwitch files(f.folder());
    files.replace("a.dat", f.root.path() + "/new/a.dat", 1);
    files.replace("b.dat", f.root.path() + "/new/b.dat", 2);
    files.replace("WebData/p.htm", f.root.path() + "/new/p.htm", 3);
    PlantLink plant(f.staged("a.dat"), f.staged(planted), f.outside() + u'/' + target);
    QString why;
    int failed_tag = 0;
    {
        FaultScope scope(&plant);
        QVERIFY(!files.stage(why, failed_tag));
    }
    QVERIFY(plant.planted);
    QCOMPARE(failed_tag, tag);
    QCOMPARE(files_lost(outside, files_below(f.outside())), 0);
    QCOMPARE(f.own(), own);
    QVERIFY(!stands(f.staging()));
}

void TestFileSwitch::names_that_cannot_take_their_file_are_kept_data() {
    QTest::addColumn<QList<QByteArray>>("replaced");
    QTest::addColumn<QList<QByteArray>>("removed");
    QTest::addColumn<QString>("folder_at");  // a name that is a folder in the folder
    QTest::addColumn<QStringList>("kept");
    QTest::newRow("a folder in a file's place")
        << QList<QByteArray>{"a.dat", "b.dat", "WebData/p.htm"} << QList<QByteArray>() << "b.dat"
        << QStringList{"b.dat"};
    QTest::newRow("a folder in a removed file's place")
        << QList<QByteArray>{"a.dat", "WebData/p.htm"} << QList<QByteArray>{"b.dat"} << "b.dat" << QStringList{"b.dat"};
    QTest::newRow("a file the staging no longer holds")
        << QList<QByteArray>{"a.dat", "c.dat", "WebData/p.htm"} << QList<QByteArray>() << "" << QStringList{"c.dat"};
    QTest::newRow("a file the staging no longer holds, in a folder neither holds")
        << QList<QByteArray>{"a.dat", "Gone/x.htm", "WebData/p.htm"} << QList<QByteArray>() << ""
        << QStringList{"Gone/x.htm"};
}

// A whole record is finished around a name that cannot take its file: that name is kept
// as it is, the rest is switched, and the staging goes, so the next settle finds nothing.
void TestFileSwitch::names_that_cannot_take_their_file_are_kept() {
    QFETCH(QList<QByteArray>, replaced);
    QFETCH(QList<QByteArray>, removed);
    QFETCH(QString, folder_at);
    QFETCH(QStringList, kept);
    Folders f;
    for (const char* rel : {"a.dat", "b.dat", "WebData/p.htm"}) make_file(f.staged(rel), QByteArray("new ") + rel);
    make_file(f.staged("switch.journal"), switch_record(replaced, removed));
    if (!folder_at.isEmpty()) {
        QFile::remove(f.at(folder_at));
        make_file(f.at(folder_at) + "/inside.txt", "kept inside");
    }
    FileSwitch::Settlement done;
    QString why;
    QVERIFY2(FileSwitch::settle(f.folder(), done, why), qPrintable(why));
    QCOMPARE(int(done.what), int(FileSwitch::Settled::finished));
    QCOMPARE(done.kept, kept);
    QCOMPARE(read_file(f.at("a.dat")), QByteArray("new a.dat"));
    QCOMPARE(read_file(f.at("WebData/p.htm")), QByteArray("new WebData/p.htm"));
    if (!folder_at.isEmpty()) QCOMPARE(read_file(f.at(folder_at) + "/inside.txt"), QByteArray("kept inside"));
    for (const QString& rel : kept)
        if (rel != folder_at) QVERIFY(!stands(f.at(rel)));
    QVERIFY(!stands(f.staging()));
    QVERIFY(FileSwitch::settle(f.folder(), done, why));
    QCOMPARE(int(done.what), int(FileSwitch::Settled::nothing));
}

// The commit point is a synced record; the renames come after it, the folders are synced
// after them, and only then does the record go.
void TestFileSwitch::switch_steps_in_order() {
    Folders f;
    make_file(f.root.path() + "/new/a.dat", "new a");
    make_file(f.root.path() + "/new/p.htm", "new p");
    FileSwitch files(f.folder());
    files.replace("a.dat", f.root.path() + "/new/a.dat", 1);
    files.replace("WebData/p.htm", f.root.path() + "/new/p.htm", 2);
    QString why;
    int failed_tag = 0;
    QVERIFY(files.stage(why, failed_tag));
    StepLog log(f.folder());
    bool committed = false;
    {
        FaultScope scope(&log);
        QVERIFY2(files.make(false, committed, why), qPrintable(why));
    }
    QVERIFY(committed);
    QCOMPARE(log.steps, (QStringList{"write .QB_Staging/switch.journal", "sync .QB_Staging/switch.journal",
                                     "sync folder .QB_Staging", "rename .QB_Staging/a.dat",
                                     "rename .QB_Staging/WebData/p.htm", "sync folder WebData", "sync folder .",
                                     "remove .QB_Staging/switch.journal", "sync folder .QB_Staging"}));
    QCOMPARE(read_file(f.at("a.dat")), QByteArray("new a"));
    QCOMPARE(read_file(f.at("WebData/p.htm")), QByteArray("new p"));
    QVERIFY(!stands(f.staging()));
}

void TestFileSwitch::failed_record_step_leaves_every_file_data() {
    QTest::addColumn<QString>("step");
    QTest::newRow("record write") << "write switch.journal";
    QTest::newRow("record sync") << "sync switch.journal";
    QTest::newRow("staging folder sync") << "sync folder";
}

// A record that is not whole on disk is no commit point: the switch stops before any
// rename, every file is as it was and the staging is gone.
void TestFileSwitch::failed_record_step_leaves_every_file() {
    QFETCH(QString, step);
    Folders f;
    make_file(f.root.path() + "/new/a.dat", "new a");
    make_file(f.root.path() + "/new/p.htm", "new p");
    const QMap<QString, QByteArray> own = f.own();
    FileSwitch files(f.folder());
    files.replace("a.dat", f.root.path() + "/new/a.dat", 1);
    files.replace("WebData/p.htm", f.root.path() + "/new/p.htm", 2);
    files.remove("b.dat", 3);
    QString why;
    int failed_tag = 0;
    QVERIFY(files.stage(why, failed_tag));
    FailStep fail(step);
    bool committed = true;
    {
        FaultScope scope(&fail);
        QVERIFY(!files.make(false, committed, why));
    }
    QVERIFY(fail.failed);
    QVERIFY(!committed);
    QCOMPARE(f.own(), own);
    QVERIFY(!stands(f.staging()));
}

QTEST_MAIN(TestFileSwitch)
#include "tst_file_switch.moc"
