// Saves of chklist.dat cut short: a process killed at any step or at a random moment, a
// step that fails, a disk that fills up. After each, every stored checklist is exactly as
// before the save or exactly as after it, a failed save says so, and the file stays
// within its limit: an oversized file is left alone.
#include "core/file_io.h"
#include "support/fakes.h"
#include "support/file_faults.h"

#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace qb;
using namespace qb::test;

namespace {

// Checklist `name` in version v: every text carries both, and their lengths change with v.
Checklist version_of(const Core& c, const QString& name, int v) {
    Checklist cl = c.blank_checklist;
    cl.Inuse = kTrue;
    cl.Version = 1;
    const QString tag = name + u' ' + QString::number(v);
    cl.Name = tag;
    cl.Author = "Author of " + tag;
    cl.Copyright = "(c) " + tag;
    cl.BookRef = "Book of " + tag;
    cl.WebSite = "www." + QString::number(v) + ".example";
    cl.WhyUse = text_of("Why " + tag, 200 + (v % 7) * 110);
    cl.Date = 46000 + v;
    cl.TotalItems = kItemsPerChecklist;
    for (int j = 0; j < kItemsPerChecklist; ++j)
        cl.Item[size_t(j)] = text_of(tag + " item " + QString::number(j + 1), 40 + ((v + j) % 9) * 110);
    return cl;
}

QString describe(const Checklist& c) {
    QStringList p{QString::number(c.ShowIt), QString::number(c.Inuse), QString::number(c.deleted),
                  QString::number(c.Version), c.Name, c.Author, c.Copyright, QString::number(c.Date), c.BookRef,
                  c.WebSite, c.WhyUse, QString::number(c.TotalItems)};
    for (const QString& item : c.Item) p << item;
    return p.join(u'|');
}

// Every record of the file as stored, deleted ones included, by record number.
QMap<int32_t, QByteArray> records_of(const QString& path) {
    const QByteArray all = read_file(path);
    QMap<int32_t, QByteArray> out;
    for (int32_t n = 1; qint64(n) * kChecklistRecordSize <= all.size(); ++n)
        out[n] = all.mid(qsizetype(n - 1) * kChecklistRecordSize, kChecklistRecordSize);
    return out;
}

// The checklists a fresh start finds in the folder, by record number.
QMap<int32_t, QString> loaded_checklists(const QString& folder, const Platform& platform) {
    Core c(folder, platform);
    c.init_blank_checklist();
    c.install_example_checklist();
    c.load_checklists();
    QMap<int32_t, QString> out;
    for (const Checklist& cl : std::as_const(c.Checklists))
        if (cl.Inuse == kTrue && cl.file_idx > 0) out[cl.file_idx] = describe(cl);
    return out;
}

int32_t element_of(const Core& c, int32_t record) {
    for (int32_t i = 0; i <= c.maxChecklists_index(); ++i)
        if (c.Checklists[i].Inuse == kTrue && c.Checklists[i].file_idx == record) return i;
    return -1;
}

// The changes of chklist.dat a user makes, on a folder of checklists A, B, C, a deleted
// one and D (records 1 to 5).
enum Op { edit_items, show_marks, delete_one, add_new, import_one };

const char* op_name(Op op) {
    switch (op) {
    case edit_items: return "checklist edited";
    case show_marks: return "show marks";
    case delete_one: return "delete";
    case add_new: return "new checklist";
    case import_one: return "import";
    }
    return "?";
}

QString export_path(const CoreFixture& fx) { return fx.path("export.txt"); }

void apply(Core& c, Op op, int round = 0) {
    switch (op) {
    case edit_items: {
        const int32_t i = element_of(c, 2);
        QVERIFY(i >= 0);
        Checklist cl = version_of(c, "B", 100 + round);
        cl.file_idx = c.Checklists[i].file_idx;
        cl.ShowIt = c.Checklists[i].ShowIt;
        c.Checklists[i] = cl;
        break;
    }
    case show_marks: {
        const int32_t a = element_of(c, 1), b = element_of(c, 2);
        QVERIFY(a >= 0 && b >= 0);
        c.Checklists[a].ShowIt = c.Checklists[a].ShowIt ? 0 : 1;
        c.Checklists[b].ShowIt = c.Checklists[b].ShowIt ? 0 : 1;
        break;
    }
    case delete_one: {
        int32_t i = element_of(c, 3);
        if (i < 0) i = element_of(c, 5);
        QVERIFY(i >= 0);
        c.Checklists[i].deleted = kTrue;
        break;
    }
    case add_new: {
        QVERIFY(c.find_free_checklist_slot());
        c.Checklists[c.current_checklist_index] = version_of(c, "New", 200 + round);
        break;
    }
    case import_one: {
        Checklist record = c.blank_checklist;
        QVERIFY(c.import_checklist(record, c.data_path("export.txt")));
        QVERIFY(c.find_free_checklist_slot());
        c.Checklists[c.current_checklist_index] = record;
        break;
    }
    }
}

void make_folder(CoreFixture& fx) {
    fx.start();
    Core& c = *fx.core;
    c.Checklists.clear();
    for (const char* name : {"A", "B", "C", "X", "D"}) c.Checklists.append(version_of(c, name, 1));
    c.Checklists[0].ShowIt = 1;
    QVERIFY(c.save_checklist());
    c.Checklists[3].deleted = kTrue;
    QVERIFY(c.save_checklist());
    c.export_checklist(export_path(fx), 2);
    fx.restart();
    QCOMPARE(element_of(*fx.core, 5), 3);
}

QString chklist(const CoreFixture& fx) { return fx.path("chklist.dat"); }

void put_file(CoreFixture& fx, const QByteArray& bytes) {
    write_file(chklist(fx), bytes);
    QFile::remove(chklist(fx) + ".new");
}

// Records of now that are neither as in `before` nor as in `after`.
int torn(const QMap<int32_t, QByteArray>& now, const QMap<int32_t, QByteArray>& before,
         const QMap<int32_t, QByteArray>& after) {
    int n = 0;
    QSet<int32_t> records;
    for (int32_t r : now.keys() + before.keys() + after.keys()) records.insert(r);
    for (int32_t r : records)
        if (now.value(r) != before.value(r) && now.value(r) != after.value(r)) ++n;
    return n;
}

// What a start finds after a save: every checklist of the table in use and not deleted.
void note_saved(const Core& c, QMap<int32_t, QString>& expected) {
    for (const Checklist& cl : c.Checklists) {
        if (cl.Inuse != kTrue) continue;
        if (cl.deleted)
            expected.remove(cl.file_idx);
        else
            expected[cl.file_idx] = describe(cl);
    }
}

} // namespace

class TestChecklistSaves : public QObject {
    Q_OBJECT

private slots:
    void kill_at_every_step_data();
    void kill_at_every_step();
    void failed_step_is_told_data();
    void failed_step_is_told();
    void real_kills_during_saves();
    void real_kills_during_restores();
    void filling_disk_never_damages_checklists();
    void full_tmpfs_device();
    void oversized_file_is_left_alone();
    void leftover_temporary_file_goes_at_start_data();
    void leftover_temporary_file_goes_at_start();
    void file_grows_up_to_its_limit();
};

void TestChecklistSaves::kill_at_every_step_data() {
    QTest::addColumn<int>("op");
    for (Op op : {edit_items, show_marks, delete_one, add_new, import_one}) QTest::newRow(op_name(op)) << int(op);
}

// The process dies at each step of a save in turn: the next start finds every checklist
// as before the save or as after it, and the next save works.
void TestChecklistSaves::kill_at_every_step() {
    QFETCH(int, op);
    CoreFixture fx;
    make_folder(fx);
    const QByteArray before = read_file(chklist(fx));
    const QMap<int32_t, QByteArray> old_lists = records_of(chklist(fx));

    KillAt counter(0);
    {
        FaultScope scope(&counter);
        apply(*fx.core, Op(op));
        QVERIFY(fx.core->save_checklist());
    }
    const QByteArray after = read_file(chklist(fx));
    const QMap<int32_t, QByteArray> new_lists = records_of(chklist(fx));
    QVERIFY(old_lists != new_lists);
    QVERIFY(!QFile::exists(chklist(fx) + ".new"));
    // The new file is on the disk before it takes the old one's place, and its name after.
    QCOMPARE(sequence_of(counter.log),
             QString("write chklist.dat.new, sync chklist.dat.new, rename chklist.dat.new, sync folder"));

    int torn_lists = 0, kept_old = 0, kept_new = 0;
    for (int n = 1; n <= counter.steps + 1; ++n) {
        put_file(fx, before);
        fx.restart();
        KillAt kill(n);
        {
            FaultScope scope(&kill);
            apply(*fx.core, Op(op));
            fx.core->save_checklist();
        }
        fx.restart();
        const QByteArray now = read_file(chklist(fx));
        torn_lists += torn(records_of(chklist(fx)), old_lists, new_lists);
        QVERIFY2(now == before || now == after, qPrintable(QString("kill at step %1 of %2").arg(n).arg(counter.steps)));
        kept_old += now == before;
        kept_new += now == after;

        // The next save starts from what is stored and works, whatever was left beside it.
        QMap<int32_t, QString> expected = loaded_checklists(fx.dir.path(), fx.platform());
        apply(*fx.core, show_marks);
        QVERIFY(fx.core->save_checklist());
        note_saved(*fx.core, expected);
        QCOMPARE(loaded_checklists(fx.dir.path(), fx.platform()), expected);
    }
    // Some kills come before the new file takes the old one's place, some after.
    QVERIFY(kept_old > 0);
    QVERIFY(kept_new > 0);
    QCOMPARE(torn_lists, 0);
    qInfo("%s: %d kill points tried (%d left the old file, %d the new), %d checklists torn", op_name(Op(op)),
          counter.steps + 1, kept_old, kept_new, torn_lists);
}

void TestChecklistSaves::failed_step_is_told_data() {
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("renamed");  // the step comes after the new file took the old one's place
    for (const char* step : {"write chklist.dat.new", "sync chklist.dat.new", "rename chklist.dat.new"})
        QTest::newRow(step) << QString(step) << false;
    QTest::newRow("sync folder") << "sync folder" << true;
}

// One step of a save fails and the program goes on: the user is told; before the rename
// the file is as it was and the new checklist's record number is taken back, after it the
// file is the new one and the number stays. Either way the next save stores each
// checklist once.
void TestChecklistSaves::failed_step_is_told() {
    QFETCH(QString, step);
    QFETCH(bool, renamed);
    CoreFixture fx;
    make_folder(fx);
    const QByteArray before = read_file(chklist(fx));
    apply(*fx.core, edit_items);
    apply(*fx.core, add_new);
    QVERIFY(fx.core->save_checklist());
    const QByteArray after = read_file(chklist(fx));
    put_file(fx, before);
    fx.restart();

    Core& c = *fx.core;
    QMap<int32_t, QString> expected = loaded_checklists(fx.dir.path(), fx.platform());
    apply(c, edit_items);
    apply(c, add_new);
    const int32_t added = c.current_checklist_index;
    fx.messages.boxes.clear();
    FailStep fail(step);
    {
        FaultScope scope(&fail);
        QVERIFY(!c.save_checklist());
    }
    QVERIFY(fail.failed);
    const QStringList told = fx.messages.box_texts();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].startsWith("Error: Writing Checklist file: ") && told[0].endsWith("  error...Input/output error"),
             qPrintable(told[0]));
    QCOMPARE(read_file(chklist(fx)), renamed ? after : before);
    QVERIFY(!QFile::exists(chklist(fx) + ".new"));
    QCOMPARE(c.Checklists[added].file_idx, renamed ? 6 : 0);

    apply(c, add_new, 1);
    QVERIFY(c.save_checklist());
    note_saved(c, expected);
    const QMap<int32_t, QString> now = loaded_checklists(fx.dir.path(), fx.platform());
    QCOMPARE(now, expected);
    QCOMPARE(now.size(), 6);  // A, B, C, D and the two new ones, no number taken twice
}

namespace {

const QStringList kListNames{"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L"};

// Version of a record's checklist from its name ("B 1000123"), -1 when it is no version.
int version_in(const Checklist& c) {
    const QStringList parts = c.Name.split(u' ');
    return parts.size() == 2 ? parts[1].toInt() : -1;
}

} // namespace

// A child process saves new versions of every checklist over and over and is killed with
// SIGKILL at a random moment; each next start finds every checklist whole in one version.
void TestChecklistSaves::real_kills_during_saves() {
    CoreFixture fx;
    fx.start();
    {
        Core& c = *fx.core;
        c.Checklists.clear();
        for (const QString& name : kListNames) c.Checklists.append(version_of(c, name, 1));
        c.Checklists.append(version_of(c, "Gone", 1));
        c.Checklists.last().deleted = kTrue;
        c.Checklists[0].ShowIt = 1;
        QVERIFY(c.save_checklist());
    }
    const QByteArray gone = records_of(chklist(fx)).value(kListNames.size() + 1);
    fx.core.reset();
    QRandomGenerator rng(19);
    const int kills = kill_rounds(550);
    int torn_lists = 0, mixed_files = 0, cut_short = 0, child_versions = 0;
    for (int round = 0; round < kills; ++round) {
        // Once the child has saved, it is killed at a random moment of its later saves.
        QVERIFY(kill_child_after(rng.bounded(15000), [&](const std::function<void()>& ready) {
            Core c(fx.dir.path(), fx.platform());
            c.init_blank_checklist();
            c.install_example_checklist();
            c.load_checklists();
            for (int v = 1000000 + round * 10000;; ++v) {
                for (int32_t i = 0; i <= c.maxChecklists_index(); ++i) {
                    Checklist& cl = c.Checklists[i];
                    if (cl.Inuse != kTrue) continue;
                    Checklist next = version_of(c, cl.Name.section(u' ', 0, 0), v);
                    next.file_idx = cl.file_idx;
                    next.ShowIt = int16_t(i == 0 || (v + i) % 2);
                    cl = next;
                }
                c.save_checklist();
                ready();
            }
        }));
        if (QFile::exists(chklist(fx) + ".new")) ++cut_short;

        const QMap<int32_t, QByteArray> now = records_of(chklist(fx));
        QCOMPARE(now.size(), kListNames.size() + 1);
        QCOMPARE(now.value(kListNames.size() + 1), gone);
        QSet<int> versions;
        fx.restart();
        const Core& c = *fx.core;
        for (int32_t i = 0; i < kListNames.size(); ++i) {
            const Checklist& cl = c.Checklists[i];
            const int v = version_in(cl);
            versions.insert(v);
            Checklist whole = version_of(c, kListNames[i], v);
            whole.ShowIt = cl.ShowIt;
            whole.file_idx = cl.file_idx;
            if (describe(cl) != describe(whole) || (v >= 1000000 && cl.ShowIt != int16_t(i == 0 || (v + i) % 2)))
                ++torn_lists;
        }
        if (versions.size() > 1) ++mixed_files;
        if (*versions.begin() >= 1000000) ++child_versions;
        fx.core.reset();
    }
    QCOMPARE(torn_lists, 0);
    QCOMPARE(mixed_files, 0);
    qInfo("real kills: %d kills during checklist saves (%d left a new file beside the old, %d found a version of the "
          "child's), %d checklists torn, %d files mixing versions",
          kills, cut_short, child_versions, torn_lists, mixed_files);
}

// A restore replaces chklist.dat too: a child restores two backups in turn until it is
// killed, and the file is always one of the two whole, or the one it had.
void TestChecklistSaves::real_kills_during_restores() {
    CoreFixture fx;
    make_folder(fx);
    const QByteArray first = read_file(chklist(fx));
    QTemporaryDir backups;
    QVERIFY(QDir(backups.path()).mkdir("a") && QDir(backups.path()).mkdir("b"));
    QByteArray second;
    {
        Core& c = *fx.core;
        QVERIFY(c.backup_data(backups.path() + "/a"));
        apply(c, edit_items);
        apply(c, add_new);
        QVERIFY(c.save_checklist());
        second = read_file(chklist(fx));
        QVERIFY(c.backup_data(backups.path() + "/b"));
    }
    fx.core.reset();
    QRandomGenerator rng(23);
    const int kills = kill_rounds(100);
    int torn_files = 0, found_second = 0;
    for (int round = 0; round < kills; ++round) {
        QVERIFY(kill_child_after(rng.bounded(30000), [&](const std::function<void()>& ready) {
            Core c(fx.dir.path(), fx.platform());
            c.init_blank_entry();
            c.init_blank_entry_checklist();
            c.init_blank_checklist();
            for (int k = 0;; ++k) {
                c.restore_data(backups.path() + (k % 2 ? "/b/" : "/a/") + c.backup_foldername);
                ready();
            }
        }));
        const QByteArray now = read_file(chklist(fx));
        if (now != first && now != second) ++torn_files;
        found_second += now == second;
    }
    QCOMPARE(torn_files, 0);
    qInfo("real kills: %d kills during restores (%d found the second backup's file), %d checklist files torn", kills,
          found_second, torn_files);
}

namespace {

// Runs the series, saving after each change as the windows do; a failed save must leave
// the file as it was and say why. expected follows every save that succeeded.
void save_series(Core& c, const QList<Op>& series, QMap<int32_t, QString>& expected, const QString& path,
                 const FakePresenter& messages, bool& failed) {
    failed = false;
    for (int k = 0; k < series.size(); ++k) {
        apply(c, series[k], k);
        const QByteArray before = read_file(path);
        const qsizetype boxes = messages.boxes.size();
        if (!c.save_checklist()) {
            failed = true;
            QCOMPARE(read_file(path), before);
            QVERIFY(messages.box_texts().mid(boxes).join(u'\n').contains("Writing Checklist file: "));
            // The record numbers this save gave are taken back.
            for (const Checklist& cl : std::as_const(c.Checklists))
                QVERIFY(cl.Inuse != kTrue || cl.file_idx <= before.size() / kChecklistRecordSize);
            continue;
        }
        note_saved(c, expected);
        if (series[k] == delete_one) c.load_checklists();
    }
}

const QList<Op> kSeries{edit_items, add_new, show_marks, delete_one, edit_items, import_one, show_marks};

// The series from a fresh start on the folder, under the fault; then what the next start
// finds against what the saves acknowledged. failed: some save failed.
void series_on(const QString& folder, const Platform& platform, const FakePresenter& messages, FileFault* fault,
               bool& failed, int& damaged) {
    QMap<int32_t, QString> expected = loaded_checklists(folder, platform);
    const qsizetype boxes = messages.boxes.size();
    {
        Core c(folder, platform);
        c.init_blank_checklist();
        c.install_example_checklist();
        c.load_checklists();
        FaultScope scope(fault);
        save_series(c, kSeries, expected, folder + "/chklist.dat", messages, failed);
    }
    const QStringList told = messages.box_texts().mid(boxes);
    QVERIFY(!failed || !told.filter("No space left on device").isEmpty());
    QVERIFY2(told.filter("Unknown error").isEmpty(), qPrintable(told.join(u'\n')));
    QVERIFY(!QFile::exists(folder + "/chklist.dat.new"));
    const QMap<int32_t, QString> now = loaded_checklists(folder, platform);
    for (auto it = expected.begin(); it != expected.end(); ++it)
        if (now.value(it.key()) != it.value()) ++damaged;
    QCOMPARE(now, expected);
}

} // namespace

// Saves on a disk that fills up, at every level of free space the saves cross: what was
// acknowledged is stored, what failed was reported and changed nothing stored.
void TestChecklistSaves::filling_disk_never_damages_checklists() {
    CoreFixture fx;
    make_folder(fx);
    fx.core.reset();
    const QByteArray before = read_file(chklist(fx));
    int levels = 0, damaged = 0, levels_with_failures = 0;
    for (qint64 free_bytes = 0; levels_with_failures == levels; free_bytes += 4099) {
        put_file(fx, before);
        FillingDisk disk(fx.dir.path(), free_bytes);
        bool failed = false;
        series_on(fx.dir.path(), fx.platform(), fx.messages, &disk, failed, damaged);
        ++levels;
        levels_with_failures += failed;
    }
    QVERIFY(levels > 30);
    QCOMPARE(damaged, 0);
    qInfo("full disk: %d free-space levels tried (%d with failed saves), %d checklists damaged", levels,
          levels_with_failures, damaged);
}

// The same series on a real device that fills up: a small memory file system filled to
// leave 0 to 90 pages free. Skipped without the right to mount.
void TestChecklistSaves::full_tmpfs_device() {
    CoreFixture fx;
    make_folder(fx);
    fx.core.reset();
    int levels = 0, damaged = 0, levels_with_failures = 0;
    for (int pages = 0; pages <= 90; pages += 3) {
        TmpfsMount mnt("1m");
        if (!mnt.mounted) QSKIP("a memory file system needs the right to mount");
        for (const char* name : {"entries.dat", "VarData.dat", "chklist.dat", "export.txt"})
            QVERIFY(QFile::copy(fx.path(name), mnt.path() + u'/' + name));
        QVERIFY(mnt.leave_free(qint64(pages) * 4096));
        bool failed = false;
        series_on(mnt.path(), fx.platform(), fx.messages, nullptr, failed, damaged);
        ++levels;
        levels_with_failures += failed;
    }
    QVERIFY(levels_with_failures > 0);
    QVERIFY(levels_with_failures < levels);
    QCOMPARE(damaged, 0);
    qInfo("full memory file system: %d levels (%d with failed saves), %d checklists damaged", levels,
          levels_with_failures, damaged);
}

// A chklist.dat far larger than any real one is refused at once, with a message, and is
// neither read nor written afterwards; one within the limit loads as before.
void TestChecklistSaves::oversized_file_is_left_alone() {
    CoreFixture fx;
    make_folder(fx);
    const QByteArray stored = read_file(chklist(fx));
    const QString path = chklist(fx);
    // Sparse: no data blocks, so a rewrite would show in the blocks as in the times.
    QVERIFY(::truncate(QFile::encodeName(path).constData(), qint64(1) << 30) == 0);
    struct stat st_before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st_before), 0);
    fx.messages.boxes.clear();
    fx.restart();
    Core& c = *fx.core;
    const QStringList boxes = fx.messages.box_texts();
    QVERIFY2(boxes.filter("Error: Reading Checklists file ").filter("failed: the file is too large (1073741824 bytes, "
                                                                       "at most 67108864)").size() == 1,
             qPrintable(boxes.join(u'\n')));
    // The example checklist stands in, as for a file without checklists.
    QCOMPARE(c.maxChecklists_index(), 0);
    QCOMPARE(c.Checklists[0].Name, QString("Dunmarrow Keep Focus"));
    c.Checklists[0].ShowIt = 0;
    fx.messages.boxes.clear();
    QVERIFY(!c.save_checklist());
    QCOMPARE(fx.messages.box_texts().size(), 1);
    QVERIFY(fx.messages.box_texts()[0].startsWith("Error: Writing Checklist file: "));
    QVERIFY(!QFile::exists(path + ".new"));
    struct stat st_after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st_after), 0);
    QCOMPARE(st_after.st_size, st_before.st_size);
    QCOMPARE(st_after.st_blocks, st_before.st_blocks);
    QCOMPARE(st_after.st_ino, st_before.st_ino);
    QCOMPARE(st_after.st_mtim.tv_sec, st_before.st_mtim.tv_sec);
    QCOMPARE(st_after.st_mtim.tv_nsec, st_before.st_mtim.tv_nsec);

    // A file that grew too large after it was read is not written either.
    write_file(path, stored);
    fx.restart();
    QCOMPARE(element_of(*fx.core, 5), 3);
    QVERIFY(::truncate(QFile::encodeName(path).constData(), (qint64(64) << 20) + 1) == 0);
    fx.messages.boxes.clear();
    QVERIFY(!fx.core->save_checklist());
    QVERIFY(fx.messages.box_texts().value(0).contains("too large (67108865 bytes, at most 67108864)"));
    QCOMPARE(QFileInfo(path).size(), (qint64(64) << 20) + 1);
}

void TestChecklistSaves::leftover_temporary_file_goes_at_start_data() {
    QTest::addColumn<bool>("linked");
    QTest::newRow("chklist.dat") << false;
    QTest::newRow("chklist.dat a link to another folder") << true;
}

// The file a save writes before its rename is never data: one left by a kill goes at the
// next start, and the checklists are read from chklist.dat alone.
void TestChecklistSaves::leftover_temporary_file_goes_at_start() {
    QFETCH(bool, linked);
    CoreFixture fx;
    make_folder(fx);
    fx.core.reset();
    QTemporaryDir elsewhere;
    QString stored = chklist(fx);
    if (linked) {
        stored = elsewhere.path() + "/chklist.dat";
        QVERIFY(QFile::rename(chklist(fx), stored));
        QVERIFY(QFile::link(stored, chklist(fx)));
    }
    const QByteArray before = read_file(stored);
    write_file(stored + ".new", QByteArray(3 * kChecklistRecordSize, 'x'));
    write_file(fx.path("chklist.dat.new.keep"), "not ours");
    fx.restart();
    QVERIFY(!QFile::exists(stored + ".new"));
    QVERIFY(QFile::exists(fx.path("chklist.dat.new.keep")));
    QCOMPARE(read_file(stored), before);
    QCOMPARE(element_of(*fx.core, 5), 3);
}

// The file grows to its limit and no further: the last record that fits is written, the
// next new checklist is refused before anything is written and gives its record number
// back, and the next start reads the file. Records past D are sparse and blank.
void TestChecklistSaves::file_grows_up_to_its_limit() {
    CoreFixture fx;
    make_folder(fx);
    Core& c = *fx.core;
    const QString path = chklist(fx);
    const qint64 fit = (qint64(64) << 20) / kChecklistRecordSize;
    QVERIFY(::truncate(QFile::encodeName(path).constData(), (fit - 1) * kChecklistRecordSize) == 0);
    apply(c, add_new, 1);
    const int32_t last = c.current_checklist_index;
    QVERIFY(c.save_checklist());
    QCOMPARE(c.Checklists[last].file_idx, int32_t(fit));
    QCOMPARE(QFileInfo(path).size(), fit * kChecklistRecordSize);

    struct stat st_before {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st_before), 0);
    apply(c, add_new, 2);
    const int32_t refused = c.current_checklist_index;
    fx.messages.boxes.clear();
    QVERIFY(!c.save_checklist());
    QCOMPARE(fx.messages.box_texts().size(), 1);
    QVERIFY2(fx.messages.box_texts()[0].endsWith("  error...the file would grow past its limit of 67108864 bytes; "
                                                 "nothing was written"),
             qPrintable(fx.messages.box_texts()[0]));
    QCOMPARE(c.Checklists[refused].file_idx, 0);
    struct stat st_after {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st_after), 0);
    QCOMPARE(st_after.st_ino, st_before.st_ino);
    QCOMPARE(st_after.st_size, st_before.st_size);

    const QString last_name = c.Checklists[last].Name;
    fx.messages.boxes.clear();
    fx.restart();
    QCOMPARE(fx.messages.box_texts(), QStringList());
    QVERIFY(element_of(*fx.core, 5) >= 0);
    const int32_t stored_last = element_of(*fx.core, int32_t(fit));
    QVERIFY(stored_last >= 0);
    QCOMPARE(fx.core->Checklists[stored_last].Name, last_name);
}

QTEST_GUILESS_MAIN(TestChecklistSaves)
#include "tst_checklist_saves.moc"
