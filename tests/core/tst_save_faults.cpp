// Saves cut short: a process killed at any write, a write that fails, a disk that fills
// up. After each, the stored entries are exactly as before the save or exactly as after
// it, and no other entry is touched. Then the journal's own guards: its order of syncs,
// a damaged journal, one naming files outside its folder, a restore that fails. Last, the
// files rewritten whole (a report, an export, pref.dat) when a step of theirs fails.
#include "core/file_io.h"
#include "core/ole_date.h"
#include "core/save_journal.h"
#include "support/fakes.h"
#include "support/file_faults.h"
#include "support/journal_bytes.h"

#include <QDir>
#include <QtTest>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <climits>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qb;
using namespace qb::test;

namespace {

// What the user sees of an entry, without its record numbers.
QString describe(const SummaryEntry& e) {
    QStringList p{e.security, e.symbol, e.transaction, QString::number(e.price), QString::number(e.entry_date),
                  QString::number(e.deleted), QString::number(e.web.present), e.web.address, e.web.reference_name,
                  QString::number(e.other.present), e.other.present ? e.other.text.trimmed() : QString()};
    for (const EntryChecklist& b : e.checklist) {
        p << QString::number(b.Inuse);
        if (!b.Inuse) continue;
        p << b.name << QString::number(b.completed) << QString::number(b.last_item_index);
        for (int j = 0; j <= b.last_item_index; ++j)
            p << QString::number(b.Item.at(j).answer) << b.Item.at(j).text.trimmed() << b.Item.at(j).comment.trimmed();
    }
    return p.join(u'|');
}

// Every live stored entry by record number, read back with its texts.
QMap<int32_t, QString> stored_entries(Core& c) {
    QMap<int32_t, QString> out;
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) {
        if (!c.SummaryData[i].is_live()) continue;
        c.load_entry(i);
        out[c.current_entry.entry.file_idx] = describe(c.current_entry.entry);
    }
    return out;
}

int32_t index_of(const Core& c, int32_t file_idx) {
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i)
        if (c.SummaryData[i].file_idx == file_idx && c.SummaryData[i].is_live()) return i;
    return -1;
}

void fill_new(Core& c, const QString& name, int details, int comment) {
    SummaryEntry* e = start_new_entry(c);
    QVERIFY(e);
    e->security = name;
    e->symbol = name.left(3).toUpper();
    e->transaction = "Buy";
    e->price = 10000 * name.size();
    e->entry_date = ole_from_date(QDate(2026, 3, 14));
    e->other.present = kTrue;
    e->other.text = text_of(name + " details", details);
    EntryChecklist& b = e->checklist[0];
    b.Inuse = kTrue;
    b.name = "Focus";
    b.last_item_index = 2;
    b.Item[0].answer = answer_yes;
    b.Item[0].text = "Be patient.";
    b.Item[0].comment = text_of(name + " comment", comment);
    b.Item[2].answer = answer_no;
    b.Item[2].text = "Debt?";
}

// The kinds of save a user makes, each on a loaded folder of entries A, B, C (records 2-4).
enum Op { edit_grow, edit_shrink, add_new, delete_entry, undelete_entry };

void apply(Core& c, Op op, int round = 0) {
    const QString r = QString::number(round);
    switch (op) {
    case edit_grow: {
        QVERIFY(c.load_entry(index_of(c, 3)));
        SummaryEntry& e = c.current_entry.entry;
        e.price += 5000;
        e.other.text = text_of("B longer details " + r, 420);  // 2 records in place, 3 appended
        e.checklist[0].Item[0].comment = text_of("B short " + r, 30);  // frees 2 of 3
        e.checklist[0].Item[1].text = "A new question " + r;  // a new chain
        e.checklist[0].Item[1].answer = answer_unsure;
        break;
    }
    case edit_shrink: {
        QVERIFY(c.load_entry(index_of(c, 2)));
        SummaryEntry& e = c.current_entry.entry;
        e.security = "A renamed " + r;
        e.other.text = "Short " + r;
        e.checklist[0].Item[2].text.clear();
        e.checklist[0].Item[0].comment = text_of("A grows " + r, 640);
        break;
    }
    case add_new:
        fill_new(c, "Delta " + r, 330, 120);
        break;
    case delete_entry:
        QVERIFY(c.load_entry(index_of(c, 4)));
        c.current_entry.entry.deleted = kTrue;
        break;
    case undelete_entry:
        break;
    }
}

void make_folder(CoreFixture& fx) {
    fx.start();
    fill_new(*fx.core, "Alpha", 230, 40);
    QVERIFY(fx.core->save_entry());
    fill_new(*fx.core, "Bravo", 150, 250);
    QVERIFY(fx.core->save_entry());
    fill_new(*fx.core, "Charlie", 90, 0);
    QVERIFY(fx.core->save_entry());
}

const QStringList kDataFiles{"entries.dat", "VarData.dat"};

QMap<QString, QByteArray> files_of(const CoreFixture& fx) {
    QMap<QString, QByteArray> m;
    for (const QString& n : kDataFiles) m[n] = read_file(fx.path(n));
    return m;
}

void put_files(CoreFixture& fx, const QMap<QString, QByteArray>& m) {
    for (auto it = m.begin(); it != m.end(); ++it) write_file(fx.path(it.key()), it.value());
    QFile::remove(fx.path("save.journal"));
}

const char* op_name(Op op) {
    switch (op) {
    case edit_grow: return "edit that grows texts";
    case edit_shrink: return "edit that shrinks and grows";
    case add_new: return "new entry";
    case delete_entry: return "delete";
    default: return "?";
    }
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void kill_at_every_step_data();
    void kill_at_every_step();
    void real_kills_during_edits();
    void failed_step_rolls_back_at_once_data();
    void failed_step_rolls_back_at_once();
    void filling_disk_never_changes_stored_entries();
    void full_tmpfs_device();
    void unreadable_size_fails_the_save();
    void unreadable_size_while_reading();
    void entries_write_fails_in_edit();
    void torn_journal_is_discarded();
    void damaged_journal_is_never_applied_data();
    void damaged_journal_is_never_applied();
    void journal_names_only_files_of_its_folder_data();
    void journal_names_only_files_of_its_folder();
    void failed_restore_keeps_the_journal_data();
    void failed_restore_keeps_the_journal();
    void write_hook_journals_unplanned_writes_data();
    void write_hook_journals_unplanned_writes();
    void syncs_come_before_what_relies_on_them();
    void whole_file_save_fails_whole_data();
    void whole_file_save_fails_whole();
    void whole_file_save_leaves_files_beside_it_data();
    void whole_file_save_leaves_files_beside_it();
    void linked_file_stays_a_link_data();
    void linked_file_stays_a_link();
    void special_file_is_never_replaced_data();
    void special_file_is_never_replaced();
    void name_at_the_length_limit_is_saved();
};

void TestSaveFaults::kill_at_every_step_data() {
    QTest::addColumn<int>("op");
    QTest::addColumn<QString>("steps");
    // What overwrites stored bytes is journalled and waits for the disk; a new entry only appends.
    const QString journalled = "write save.journal, sync save.journal, sync folder, write VarData.dat, "
                               "write entries.dat, sync entries.dat, sync VarData.dat, remove save.journal";
    for (Op op : {edit_grow, edit_shrink, delete_entry}) QTest::newRow(op_name(op)) << int(op) << journalled;
    QTest::newRow(op_name(add_new)) << int(add_new) << "write VarData.dat, write entries.dat";
}

// The process dies at each step of the save in turn; the next start rolls the files back
// (or finds the save complete), and later saves touch no other entry.
void TestSaveFaults::kill_at_every_step() {
    QFETCH(int, op);
    QFETCH(QString, steps);
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fx.restart();
    const QMap<int32_t, QString> old_entries = stored_entries(*fx.core);

    // The save without a fault: its steps and its result.
    KillAt counter(0);
    {
        FaultScope scope(&counter);
        apply(*fx.core, Op(op));
        QVERIFY(fx.core->save_entry());
    }
    const QMap<QString, QByteArray> after = files_of(fx);
    fx.restart();
    const QMap<int32_t, QString> new_entries = stored_entries(*fx.core);
    QCOMPARE(sequence_of(counter.log), steps);
    QVERIFY(old_entries != new_entries);

    int lost = 0, kept_old = 0;
    for (int n = 1; n <= counter.steps + 1; ++n) {
        put_files(fx, before);
        fx.restart();
        KillAt kill(n);
        {
            FaultScope scope(&kill);
            apply(*fx.core, Op(op));
            fx.core->save_entry();
        }
        {
            KillAt again(n % 3 + 1);  // the next start is cut short too, while it rolls back
            FaultScope scope(&again);
            fx.restart();
        }
        fx.restart();  // and the one after
        const QMap<QString, QByteArray> now = files_of(fx);
        // A new entry only appends: records of a save cut short may stay past the stored ones.
        bool kept = true;
        for (const QString& n : kDataFiles) kept = kept && now[n].startsWith(before[n]);
        const bool as_before = op == add_new ? kept && stored_entries(*fx.core) == old_entries : now == before;
        const bool as_after = now == after;
        if (!as_before && !as_after) ++lost;
        QVERIFY2(as_before || as_after, qPrintable(QString("kill at step %1 of %2").arg(n).arg(counter.steps)));
        QVERIFY(!QFile::exists(fx.path("save.journal")));
        if (as_before) ++kept_old;
        const QMap<int32_t, QString> expected = as_before ? old_entries : new_entries;
        QCOMPARE(stored_entries(*fx.core), expected);

        // Later saves of other entries leave every entry as acknowledged.
        fill_new(*fx.core, "Echo", 260, 210);
        QVERIFY(fx.core->save_entry());
        const int32_t echo = fx.core->current_entry.entry.file_idx;
        QVERIFY(fx.core->load_entry(index_of(*fx.core, 2)));
        fx.core->current_entry.entry.other.text = text_of("A again", 777);
        QVERIFY(fx.core->save_entry());
        fx.restart();
        QMap<int32_t, QString> later = stored_entries(*fx.core);
        QVERIFY(later.contains(echo));
        later.remove(echo);
        later.remove(2);
        QMap<int32_t, QString> rest = expected;
        rest.remove(2);
        QCOMPARE(later, rest);
    }
    qInfo("%s: %d kill points tried (%d left the old version, the rest the new), %d entries lost", op_name(Op(op)),
          counter.steps + 1, kept_old, lost);
}

namespace {

// Version v of entry B: every stored part of it carries v, and its texts change length.
void write_version(Core& c, int v) {
    SummaryEntry& e = c.current_entry.entry;
    e.price = v;
    e.other.text = text_of("version " + QString::number(v), 120 + (v % 5) * 110);
    e.checklist[0].Item[0].comment = text_of("comment " + QString::number(v), 20 + (v % 3) * 140);
}

} // namespace

// A child process edits one entry over and over and is killed with SIGKILL at a random
// moment; each next start shows that entry whole in one of its versions, the others
// untouched.
void TestSaveFaults::real_kills_during_edits() {
    CoreFixture fx;
    make_folder(fx);
    fx.restart();
    QMap<int32_t, QString> others = stored_entries(*fx.core);
    others.remove(3);
    fx.core.reset();
    QRandomGenerator rng(9);
    int lost = 0, kills = kill_rounds(40), cut_short = 0, child_versions = 0;
    for (int round = 0; round < kills; ++round) {
        // Once the child has saved, it is killed at a random moment of its later saves.
        QVERIFY(kill_child_after(1000 + rng.bounded(20000), [&](const std::function<void()>& ready) {
            Core c(fx.dir.path(), fx.platform());
            c.init_blank_entry();
            c.init_blank_entry_checklist();
            c.load_summary_data();
            for (int v = 1000000 + round * 100000;; ++v) {
                c.load_entry(index_of(c, 3));
                write_version(c, v);
                c.save_entry();
                ready();
            }
        }));
        if (QFile::exists(fx.path("save.journal"))) ++cut_short;
        fx.restart();
        Core& c = *fx.core;
        QMap<int32_t, QString> now = stored_entries(c);
        QVERIFY(c.load_entry(index_of(c, 3)));
        const SummaryEntry stored = c.current_entry.entry;
        if (stored.price >= 1000000) {  // a version of the child's, not the one of the fixture
            ++child_versions;
            write_version(c, int(stored.price));
            if (describe(c.current_entry.entry) != describe(stored)) ++lost;
            QCOMPARE(describe(c.current_entry.entry), describe(stored));
        }
        now.remove(3);
        QCOMPARE(now, others);
        fx.core.reset();
    }
    qInfo("real kills: %d kills during edits (%d cut a save short, %d found a version of the child's), %d entries lost",
          kills, cut_short, child_versions, lost);
}

void TestSaveFaults::failed_step_rolls_back_at_once_data() { kill_at_every_step_data(); }

// A write, sync or removal that fails part way: the save says so, and the files and the
// table are as before it, at once; saving again then works.
void TestSaveFaults::failed_step_rolls_back_at_once() {
    QFETCH(int, op);
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    KillAt counter(0);
    {
        fx.restart();
        FaultScope scope(&counter);
        apply(*fx.core, Op(op));
        QVERIFY(fx.core->save_entry());
    }
    const QMap<QString, QByteArray> after = files_of(fx);
    for (int n = 1; n <= counter.steps; ++n) {
        put_files(fx, before);
        fx.restart();
        Core& c = *fx.core;
        const QVector<SummaryEntry> table = c.SummaryData;
        const int32_t next_var = c.next_vardata_index, next_rec = c.next_summary_record;
        FailOnce fail(n);
        {
            FaultScope scope(&fail);
            apply(c, Op(op));
            QVERIFY2(!c.save_entry(), qPrintable(QString("step %1").arg(n)));
        }
        QVERIFY(fx.messages.box_texts().last().startsWith("Error: "));
        QVERIFY2(files_of(fx) == before, qPrintable(QString("step %1").arg(n)));
        QVERIFY2(!QFile::exists(fx.path("save.journal")), qPrintable(QString("step %1").arg(n)));
        QCOMPARE(c.next_vardata_index, next_var);
        QCOMPARE(c.next_summary_record, next_rec);
        for (qsizetype i = 0; i < table.size(); ++i) QCOMPARE(describe(c.SummaryData[i]), describe(table[i]));
        // The editor still holds the user's entry; saving it again stores it as without the fault.
        QVERIFY(c.save_entry());
        QCOMPARE(files_of(fx), after);
    }
}

// Saves on a disk that fills up, at every level of free space the saves cross: what was
// acknowledged is stored, what failed left the stored entry as it was.
namespace {

// Applies the series, saving after each step; expected follows every save that succeeded.
// False when any save failed.
bool save_series(Core& c, const QList<Op>& series, QMap<int32_t, QString>& expected) {
    bool all_saved = true;
    for (int k = 0; k < series.size(); ++k) {
        apply(c, series[k], k);
        if (!c.save_entry()) {
            all_saved = false;
            continue;
        }
        const SummaryEntry& e = c.current_entry.entry;
        if (e.deleted) expected.remove(e.file_idx);
        else expected[e.file_idx] = describe(e);
    }
    return all_saved;
}

} // namespace

void TestSaveFaults::filling_disk_never_changes_stored_entries() {
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    const QList<Op> series{edit_grow, add_new, edit_shrink, delete_entry, edit_grow, add_new, edit_shrink};
    int runs = 0, damaged = 0, runs_with_failures = 0;
    for (qint64 free_bytes = 0; runs_with_failures == runs; free_bytes += 97) {
        put_files(fx, before);
        fx.restart();
        Core& c = *fx.core;
        QMap<int32_t, QString> expected = stored_entries(c);
        fx.messages.boxes.clear();
        FillingDisk disk(fx.dir.path(), free_bytes);
        bool failed = false;
        {
            FaultScope scope(&disk);
            failed = !save_series(c, series, expected);
        }
        ++runs;
        if (failed) {
            ++runs_with_failures;
            const QStringList boxes = fx.messages.box_texts();
            QVERIFY(!boxes.filter("No space left on device").isEmpty());
            QVERIFY(boxes.filter("Unknown error").isEmpty());
        }
        fx.restart();
        const QMap<int32_t, QString> now = stored_entries(*fx.core);
        for (auto it = expected.begin(); it != expected.end(); ++it)
            if (now.value(it.key()) != it.value()) ++damaged;
        QCOMPARE(now, expected);
    }
    QVERIFY(runs > 50);
    qInfo("full disk: %d runs (%d with failed saves), %d entries damaged", runs, runs_with_failures, damaged);
}

namespace {

void start_core(Core& c) {
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.set_default_custom_links();
    c.load_summary_data();
    c.install_example_checklist();
    c.load_checklists();
    c.load_preferences();
}

} // namespace

// The same series on a real device that fills up: a small memory file system, filled to
// leave 0 to 12 pages free. Skipped without the right to mount.
void TestSaveFaults::full_tmpfs_device() {
    CoreFixture fx;
    make_folder(fx);
    fx.core.reset();
    const QList<Op> series{edit_grow, add_new, edit_shrink, delete_entry, edit_grow, add_new, edit_shrink};
    int runs = 0, damaged = 0, runs_with_failures = 0;
    for (int pages = 0; pages <= 12; ++pages) {
        TmpfsMount mnt("512k");
        if (!mnt.mounted) QSKIP("a memory file system needs the right to mount");
        for (const char* name : {"entries.dat", "VarData.dat", "chklist.dat"})
            QVERIFY(QFile::copy(fx.path(name), mnt.path() + u'/' + name));
        QVERIFY(mnt.leave_free(qint64(pages) * 4096));
        FakePresenter messages;
        Platform platform = fx.platform();
        platform.messages = &messages;
        QMap<int32_t, QString> expected;
        bool failed = false;
        {
            Core c(mnt.path(), platform);
            start_core(c);
            expected = stored_entries(c);
            failed = !save_series(c, series, expected);
        }
        ++runs;
        if (failed) {
            ++runs_with_failures;
            QVERIFY(!messages.box_texts().filter("No space left on device").isEmpty());
            QVERIFY2(messages.box_texts().filter("Unknown error").isEmpty(), qPrintable(messages.box_texts().join("\n")));
        }
        Core again(mnt.path(), platform);
        start_core(again);
        const QMap<int32_t, QString> now = stored_entries(again);
        for (auto it = expected.begin(); it != expected.end(); ++it)
            if (now.value(it.key()) != it.value()) ++damaged;
        QCOMPARE(now, expected);
    }
    QVERIFY(runs_with_failures > 0);
    QVERIFY(runs_with_failures < runs);
    qInfo("full memory file system: %d runs (%d with failed saves), %d entries damaged", runs, runs_with_failures,
          damaged);
}

// Each reading of a file's size during a save fails in turn, in the system call itself
// (fstat on a descriptor that is not open, stat of a path through a file): the save fails
// with the system's error, never takes the file for missing, renumbers nothing and
// changes no stored byte.
void TestSaveFaults::unreadable_size_fails_the_save() {
    struct SizeFault : FileFault {
        qint64 allow_write(const QString&, qint64, qint64 len) override { return len; }
        bool allow_change(const QString&) override { return true; }
        int error_number() const override { return EIO; }
        int real_descriptor(FileOp op, const QString&, int fd) override {
            if (op != FileOp::size || ++reads != fail_at) return fd;
            error = "Bad file descriptor";
            return INT_MAX;
        }
        QString real_path(FileOp op, const QString& path) override {
            if (op != FileOp::size || ++reads != fail_at) return path;
            error = "Not a directory";
            return path + "/";
        }
        int reads = 0, fail_at = 0;
        QString error;
    };
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    SizeFault count;
    {
        fx.restart();
        apply(*fx.core, edit_grow);
        FaultScope scope(&count);
        QVERIFY(fx.core->save_entry());
    }
    QVERIFY(count.reads >= 4);
    QStringList errors;
    for (int n = 1; n <= count.reads; ++n) {
        put_files(fx, before);
        fx.restart();
        Core& c = *fx.core;
        const int32_t next_var = c.next_vardata_index;
        SizeFault fault;
        fault.fail_at = n;
        fx.messages.boxes.clear();
        apply(c, edit_grow);
        {
            FaultScope scope(&fault);
            QVERIFY(!c.save_entry());
        }
        QVERIFY2(!fx.messages.box_texts().filter(fault.error).isEmpty(), qPrintable(fx.messages.box_texts().join("\n")));
        QCOMPARE(c.next_vardata_index, next_var);
        QCOMPARE(files_of(fx), before);
        errors << fault.error;
    }
    QVERIFY(errors.contains("Bad file descriptor") && errors.contains("Not a directory"));
}

// A size that cannot be read while the data is read is no empty file: the loader stops
// every save rather than number a new entry 2 over the stored one, and an entry whose
// texts could not be read keeps them whole through its next save.
void TestSaveFaults::unreadable_size_while_reading() {
    struct FstatFails : FileFault {
        qint64 allow_write(const QString&, qint64, qint64 len) override { return len; }
        bool allow_change(const QString&) override { return true; }
        int error_number() const override { return EIO; }
        int real_descriptor(FileOp op, const QString& path, int fd) override {
            return op == FileOp::size && path.endsWith(file) ? INT_MAX : fd;
        }
        QString file;
    } fault;
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fault.file = "/entries.dat";
    fx.messages.boxes.clear();
    {
        FaultScope scope(&fault);
        fx.restart();
    }
    QVERIFY2(!fx.messages.box_texts().filter(QRegularExpression("^Error: Reading Summary file failed: .*Bad file descriptor$")).isEmpty(),
             qPrintable(fx.messages.box_texts().join("\n")));
    fill_new(*fx.core, "Delta", 120, 30);
    QVERIFY(!fx.core->save_entry());
    QCOMPARE(files_of(fx), before);

    fx.restart();
    const QMap<int32_t, QString> old_entries = stored_entries(*fx.core);
    fault.file = "/VarData.dat";
    fx.messages.boxes.clear();
    {
        FaultScope scope(&fault);
        fx.core->load_entry(index_of(*fx.core, 3));
    }
    QVERIFY2(!fx.messages.box_texts().filter("Bad file descriptor").isEmpty(), qPrintable(fx.messages.box_texts().join("\n")));
    QVERIFY(fx.core->save_entry());
    fx.restart();
    QCOMPARE(stored_entries(*fx.core), old_entries);
}

// The last write of an edit, the entry's own record, fails: the texts already rewritten
// go back too.
void TestSaveFaults::entries_write_fails_in_edit() {
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fx.restart();
    const QMap<int32_t, QString> old_entries = stored_entries(*fx.core);
    struct FailEntries : FileFault {
        // The save's write of the record fails; putting things back afterwards works.
        qint64 allow_write(const QString& path, qint64, qint64 len) override {
            return path.endsWith("/entries.dat") && !failed++ ? 0 : len;
        }
        int failed = 0;
        bool allow_change(const QString&) override { return true; }
        int error_number() const override { return EROFS; }
    } fault;
    fx.messages.boxes.clear();
    {
        FaultScope scope(&fault);
        apply(*fx.core, edit_grow);
        QVERIFY(!fx.core->save_entry());
    }
    const QStringList boxes = fx.messages.box_texts();
    QVERIFY2(boxes.size() == 1, qPrintable(boxes.join("\n")));
    QVERIFY(boxes[0].startsWith("Error: Writing Summary data file"));
    QVERIFY(boxes[0].endsWith("Error: Read-only file system"));
    QCOMPARE(files_of(fx), before);
    fx.restart();
    QCOMPARE(stored_entries(*fx.core), old_entries);
}

// A journal cut short while it was written is dropped: no stored byte had been touched.
void TestSaveFaults::torn_journal_is_discarded() {
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fx.restart();
    write_file(fx.path("save.journal"), QByteArray("QBJ1\x20\0\0\0garbage", 15));
    fx.restart();
    QVERIFY(!QFile::exists(fx.path("save.journal")));
    QCOMPARE(files_of(fx), before);
    QCOMPARE(fx.core->SummaryData.size(), 3);
}

namespace {

// Keeps a copy of the journal as it is when the save removes it.
struct CopyJournal : FileFault {
    qint64 allow_write(const QString&, qint64, qint64 len) override { return len; }
    bool allow_change(const QString&) override { return true; }
    bool allow_op(FileOp op, const QString& path) override {
        if (op == FileOp::remove && path.endsWith("/save.journal")) copy = read_file(path);
        return true;
    }
    int error_number() const override { return EIO; }
    QByteArray copy;
};

// The boxes of a start, but the one of a folder without checklists.
QStringList start_boxes(const FakePresenter& m) {
    QStringList boxes = m.box_texts();
    boxes.removeAll("Error: Checklist File NOT Found. Using Default Checklist");
    return boxes;
}

// Where each framed block of a journal starts: magic (4), body length (4), body, hash (8).
QList<qsizetype> blocks_of(const QByteArray& journal) {
    QList<qsizetype> starts;
    for (qsizetype at = 0; at + 8 <= journal.size();) {
        starts << at;
        at += 16 + qFromLittleEndian<quint32>(journal.constData() + at + 4);
    }
    return starts;
}

} // namespace

void TestSaveFaults::damaged_journal_is_never_applied_data() {
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<bool>("saved");  // the files hold the whole save, else nothing of it
    QTest::addColumn<bool>("undone");
    QTest::newRow("whole journal after a whole save") << "head" << "none" << true << true;
    for (const char* damage : {"magic", "hash", "body"})
        QTest::newRow(qPrintable(QString("head: %1").arg(damage))) << "head" << damage << true << false;
    // A save killed before its first overwrite: a damaged block must not be written.
    QTest::newRow("last segment: body") << "last segment" << "body" << false << false;
}

// A journal of the right length with a byte changed in its magic, its hash or its body is
// not the journal that was synced: it is removed, and no byte of it reaches the data files.
void TestSaveFaults::damaged_journal_is_never_applied() {
    QFETCH(QString, block);
    QFETCH(QString, damage);
    QFETCH(bool, saved);
    QFETCH(bool, undone);
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fx.restart();
    CopyJournal copy;
    {
        FaultScope scope(&copy);
        apply(*fx.core, edit_grow);
        QVERIFY(fx.core->save_entry());
    }
    const QMap<QString, QByteArray> after = files_of(fx);
    QByteArray journal = copy.copy;
    const QList<qsizetype> starts = blocks_of(journal);
    QVERIFY(starts.size() >= 2);
    const qsizetype at = block == "head" ? starts.first() : starts.last();
    const qsizetype body_end = at + 8 + qFromLittleEndian<quint32>(journal.constData() + at + 4);
    if (damage == "magic") journal[at + 1] = char(journal[at + 1] ^ 0x20);
    if (damage == "hash") journal[body_end + 3] = char(journal[body_end + 3] ^ 0x01);
    if (damage == "body") journal[body_end - 1] = char(journal[body_end - 1] ^ 0x01);
    QCOMPARE(journal.size(), copy.copy.size());

    if (!saved) put_files(fx, before);
    write_file(fx.path("save.journal"), journal);
    fx.messages.boxes.clear();
    fx.restart();
    QVERIFY(!QFile::exists(fx.path("save.journal")));
    QVERIFY2(start_boxes(fx.messages).isEmpty(), qPrintable(fx.messages.box_texts().join("\n")));
    QCOMPARE(files_of(fx), undone || !saved ? before : after);
}

void TestSaveFaults::journal_names_only_files_of_its_folder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("applied");
    QTest::newRow("a file of its folder") << "victim.dat" << true;
    QTest::newRow("a file above it") << "../victim.dat" << false;
    QTest::newRow("its folder") << "." << false;
    QTest::newRow("the folder above") << ".." << false;
}

// A sound journal that names anything but a file of its own folder is no save's: it is
// removed and touches nothing. Naming a file of its folder, the same journal cuts it.
void TestSaveFaults::journal_names_only_files_of_its_folder() {
    QFETCH(QString, name);
    QFETCH(bool, applied);
    QTemporaryDir root;
    const QString folder = root.path() + "/program";
    QVERIFY(QDir().mkpath(folder));
    const QByteArray stored = "stored bytes that a recovery would cut";
    write_file(root.path() + "/victim.dat", stored);
    write_file(folder + "/victim.dat", stored);
    const QString journal = folder + "/save.journal";
    write_file(journal, journal_cutting({{name.toUtf8(), 0}}));
    bool found = false;
    QVERIFY(SaveJournal::recover(journal, found));
    QVERIFY(found);
    QVERIFY(!QFile::exists(journal));
    QCOMPARE(read_file(folder + "/victim.dat"), applied ? QByteArray() : stored);
    QCOMPARE(read_file(root.path() + "/victim.dat"), stored);
}

namespace {

// One part of putting the files back fails each time it is tried; with from_record, only
// once a save's write of the entry's record has failed.
enum RestoreFail { write_entries, write_vardata, resize_call, stat_call, sync_restored, remove_journal };

struct RestoreFault : FileFault {
    RestoreFault(RestoreFail w, bool from_record) : what(w), failing(!from_record), refuse_record(from_record) {}
    static bool data_file(const QString& path) {
        return path.endsWith("/entries.dat") || path.endsWith("/VarData.dat");
    }
    qint64 allow_write(const QString& path, qint64, qint64 len) override {
        if (refuse_record && path.endsWith("/entries.dat")) {
            refuse_record = false;
            failing = true;
            return 0;
        }
        const bool refused = (what == write_entries && path.endsWith("/entries.dat")) ||
                             (what == write_vardata && path.endsWith("/VarData.dat"));
        return failing && refused ? 0 : len;
    }
    bool allow_change(const QString&) override { return true; }
    bool allow_op(FileOp op, const QString& path) override {
        if (failing && what == sync_restored && op == FileOp::sync_file) return !data_file(path);
        if (failing && what == remove_journal && op == FileOp::remove) return !path.endsWith("/save.journal");
        return true;
    }
    // The system calls themselves fail: a descriptor that is not open, a path through a file.
    int real_descriptor(FileOp op, const QString&, int fd) override {
        return failing && what == resize_call && op == FileOp::resize ? INT_MAX : fd;
    }
    QString real_path(FileOp op, const QString& path) override {
        return failing && what == stat_call && op == FileOp::size && data_file(path) ? path + "/" : path;
    }
    int error_number() const override { return EIO; }
    RestoreFail what;
    bool failing, refuse_record;
};

} // namespace

void TestSaveFaults::failed_restore_keeps_the_journal_data() {
    QTest::addColumn<int>("what");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("killed");
    const struct {
        const char* name;
        RestoreFail what;
        const char* error;
    } rows[] = {
        {"entries.dat cannot be written", write_entries, "Input/output error"},
        {"VarData.dat cannot be written", write_vardata, "Input/output error"},
        {"the resize call fails", resize_call, "Bad file descriptor"},
        {"the size call fails", stat_call, "Not a directory"},
        {"a restored file cannot be synced", sync_restored, "Input/output error"},
        {"the journal cannot be removed", remove_journal, "Input/output error"},
    };
    for (const auto& r : rows)
        for (bool killed : {true, false})
            QTest::newRow(qPrintable(QString("%1, %2").arg(killed ? "killed" : "failed save", r.name)))
                << int(r.what) << QString(r.error) << killed;
}

// A save killed half way, or failed at the entry's record, and then putting the files back
// fails: the failed save and each start say so once and keep the journal; the first start
// without the fault undoes the save.
void TestSaveFaults::failed_restore_keeps_the_journal() {
    QFETCH(int, what);
    QFETCH(QString, error);
    QFETCH(bool, killed);
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    fx.restart();
    const QMap<int32_t, QString> old_entries = stored_entries(*fx.core);
    if (killed) {
        KillAt counter(0);
        {
            FaultScope scope(&counter);
            apply(*fx.core, edit_grow);
            QVERIFY(fx.core->save_entry());
        }
        // Killed at the entry's record: its texts are rewritten and VarData.dat has grown.
        int record_step = 0;
        while (record_step < counter.log.size() && name_of(counter.log[record_step]) != "write entries.dat")
            ++record_step;
        QVERIFY(record_step < counter.log.size());
        put_files(fx, before);
        fx.restart();
        KillAt kill(record_step + 1);
        FaultScope scope(&kill);
        apply(*fx.core, edit_grow);
        fx.core->save_entry();
    } else {
        RestoreFault fault(RestoreFail(what), true);
        fx.messages.boxes.clear();
        {
            FaultScope scope(&fault);
            apply(*fx.core, edit_grow);
            QVERIFY(!fx.core->save_entry());
        }
        const QString told = "Error: Unable to restore the data files after the failed save. Error: " + error + ". ";
        QVERIFY2(fx.messages.box_texts().filter(told).size() == 1, qPrintable(fx.messages.box_texts().join("\n")));
    }
    QVERIFY(QFile::exists(fx.path("save.journal")));
    if (killed) QVERIFY(files_of(fx) != before);

    for (int start = 0; start < 2; ++start) {
        RestoreFault fault(RestoreFail(what), false);
        fx.messages.boxes.clear();
        {
            FaultScope scope(&fault);
            fx.restart();
        }
        const QStringList boxes = start_boxes(fx.messages);
        QVERIFY2(boxes.size() == 1, qPrintable(boxes.join("\n")));
        QVERIFY2(boxes[0].startsWith("Error: A save that was cut short could not be undone. Error: " + error + ". "),
                 qPrintable(boxes[0]));
        QVERIFY(QFile::exists(fx.path("save.journal")));
    }
    fx.messages.boxes.clear();
    fx.restart();
    QVERIFY2(start_boxes(fx.messages).isEmpty(), qPrintable(fx.messages.box_texts().join("\n")));
    QVERIFY(!QFile::exists(fx.path("save.journal")));
    QCOMPARE(files_of(fx), before);
    QCOMPARE(stored_entries(*fx.core), old_entries);
}

void TestSaveFaults::write_hook_journals_unplanned_writes_data() {
    QTest::addColumn<QList<qint64>>("planned");  // offset, length
    QTest::addColumn<QList<qint64>>("writes");  // offset, length, ...
    QTest::addColumn<bool>("killed");
    const qint64 rec = kVarDataRecordSize, end = 5 * rec;
    const struct {
        const char* name;
        QList<qint64> planned, writes;
    } rows[] = {
        {"inside the last record", {}, {end - rec + 20, 50, end - rec + 40, 50}},
        {"across the last record, past the old end", {}, {end - 60, 111, end - 100, 30}},
        {"an overwrite, then past the old end", {}, {rec + 10, 20, end + 40, 111}},
        {"from a planned record on, past the old end", {rec, rec}, {rec + 50, end, 3 * rec, 20}},
    };
    for (const auto& r : rows)
        for (bool killed : {true, false})
            QTest::newRow(qPrintable(QString("%1, %2").arg(r.name, killed ? "then killed" : "then failed")))
                << r.planned << r.writes << killed;
}

// Writes that no plan foresaw reach the journal through write_at alone, before they
// overwrite: a kill or a failed save then gives back every old byte and the old size.
void TestSaveFaults::write_hook_journals_unplanned_writes() {
    QFETCH(QList<qint64>, planned);
    QFETCH(QList<qint64>, writes);
    QFETCH(bool, killed);
    QTemporaryDir dir;
    const QString data = dir.path() + "/VarData.dat", journal_path = dir.path() + "/save.journal";
    QByteArray old;
    for (int i = 0; i < 5 * kVarDataRecordSize; ++i) old += char('a' + i % 26);
    write_file(data, old);
    {
        SaveJournal journal(journal_path);
        QVERIFY(journal.add_file(data));
        QFile f(data);
        QVERIFY(f.open(QIODevice::ReadWrite | QIODevice::Unbuffered));
        if (!planned.isEmpty()) QVERIFY(journal.keep(f, planned[0], planned[1]) && journal.write_pending());
        journal.activate();
        for (qsizetype k = 0; k + 1 < writes.size(); k += 2)
            QVERIFY(write_at(f, writes[k], QByteArray(writes[k + 1], char('0' + k))));
        QVERIFY(read_file(data) != old);
        if (!killed) QVERIFY(journal.roll_back());
        // Killed: the journal stays as the process left it.
    }
    if (killed) {
        bool found = false;
        QVERIFY(SaveJournal::recover(journal_path, found));
        QVERIFY(found);
    }
    QCOMPARE(read_file(data), old);
    QVERIFY(!QFile::exists(journal_path));
}

// Each save of a series, step by step: no stored byte is overwritten before the journal
// that holds it and the folder that names the journal are on the disk, and the journal
// goes only once every file written is.
void TestSaveFaults::syncs_come_before_what_relies_on_them() {
    CoreFixture fx;
    make_folder(fx);
    fx.restart();
    const QList<Op> series{edit_grow, add_new, edit_shrink, delete_entry, edit_grow, add_new, edit_shrink};
    int journalled = 0;
    for (int k = 0; k < series.size(); ++k) {
        KillAt steps(0);
        {
            FaultScope scope(&steps);
            apply(*fx.core, series[k], k);
            QVERIFY(fx.core->save_entry());
        }
        int created = -1, written = -1, synced = -1, folder = -1, removed = -1;
        QMap<QString, int> last_write, last_sync;
        for (int i = 0; i < steps.log.size(); ++i) {
            const Step& s = steps.log[i];
            const QString at = QString("save %1 (%2), step %3: %4").arg(k).arg(op_name(series[k])).arg(i).arg(name_of(s));
            QVERIFY2(removed < 0, qPrintable(at));  // the journal goes last
            if (s.file == "save.journal") {
                if (s.op == FileOp::write && created < 0) created = i;
                if (s.op == FileOp::write) written = i;
                if (s.op == FileOp::sync_file) synced = i;
                if (s.op == FileOp::remove) removed = i;
            } else if (s.op == FileOp::sync_folder) {
                folder = i;
            } else if (s.op == FileOp::write) {
                if (s.overwrites) {
                    QVERIFY2(written >= 0 && synced > written, qPrintable(at + ": the journal is not synced"));
                    QVERIFY2(folder > created, qPrintable(at + ": the folder is not synced"));
                }
                last_write[s.file] = i;
            } else if (s.op == FileOp::sync_file) {
                last_sync[s.file] = i;
            }
        }
        if (created < 0) continue;
        ++journalled;
        QVERIFY(removed >= 0);
        for (auto it = last_write.begin(); it != last_write.end(); ++it)
            QVERIFY2(last_sync.value(it.key(), -1) > it.value(),
                     qPrintable(QString("save %1: %2 not synced before the journal is removed").arg(k).arg(it.key())));
    }
    QCOMPARE(journalled, 5);  // the edits and the delete
}

void TestSaveFaults::whole_file_save_fails_whole_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("existing");
    const struct {
        const char* file;
        const char* told;
    } savers[] = {
        {"report.txt", "Error: Failure to generate report. Error: "},
        {"export.txt", "Error: Failure to export Checklist. Error: "},
        {"pref.dat", "Error: Failure to save Preferences (Pref.dat file). Error: "},
    };
    for (const auto& s : savers)
        for (const char* step : {"write", "sync", "rename"})
            for (bool existing : {true, false})
                QTest::newRow(qPrintable(QString("%1: %2 fails, %3").arg(s.file, step, existing ? "over the old file" : "no file yet")))
                    << s.file << s.told << step << existing;
}

// A step of a whole-file save fails: the user is told, and the old file is there byte for
// byte with its permissions (or there is still none), with nothing left beside it. The
// same save without the fault replaces it and keeps the permissions.
void TestSaveFaults::whole_file_save_fails_whole() {
    QFETCH(QString, file);
    QFETCH(QString, told);
    QFETCH(QString, step);
    QFETCH(bool, existing);
    CoreFixture fx;
    fx.start();
    const QString path = fx.path(file);
    const QByteArray old = "the file as it was\r\n";
    auto mode_of = [](const QString& p) {
        struct stat st {};
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(0);
    };
    mode_t mode = 0640;
    if (existing) {
        write_file(path, old);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
    } else {
        write_file(fx.path("fresh"), {});  // the permissions a new file gets
        mode = mode_of(fx.path("fresh"));
        QFile::remove(fx.path("fresh"));
    }
    auto save = [&] {
        const qsizetype boxes = fx.messages.boxes.size();
        if (file == "report.txt") fx.core->write_text_file(path, "a new report", false);
        if (file == "export.txt") fx.core->export_checklist(path, 0);
        if (file == "pref.dat") fx.core->save_preferences();
        return fx.messages.box_texts().mid(boxes);
    };
    auto beside = [&] { return QDir(fx.dir.path()).entryList({file + "*", "." + file + "*"}, QDir::Files | QDir::Hidden); };

    FailStep fail(step + " ." + file + ".qbsave-*");
    QStringList texts;
    {
        FaultScope scope(&fail);
        texts = save();
    }
    QVERIFY(fail.failed);
    QCOMPARE(texts, QStringList{told + "Input/output error"});
    QCOMPARE(beside(), existing ? QStringList{file} : QStringList());
    if (existing) {
        QCOMPARE(read_file(path), old);
        QCOMPARE(mode_of(path), mode);
    }

    QCOMPARE(save(), QStringList());
    QCOMPARE(beside(), QStringList{file});
    QVERIFY(read_file(path) != old && !read_file(path).isEmpty());
    QCOMPARE(mode_of(path), mode);
}

namespace {

const QStringList kWholeFileSavers{"report.txt", "export.txt", "pref.dat", "logs.txt"};

// One whole-file save of file through the program's own path (for logs.txt, the trim of a
// log at its limit); returns what the user was told.
QStringList save_whole(CoreFixture& fx, const QString& file) {
    const qsizetype boxes = fx.messages.boxes.size();
    const QString path = fx.path(file);
    if (file == "report.txt") fx.core->write_text_file(path, "a new report", false);
    if (file == "export.txt") fx.core->export_checklist(path, 0);
    if (file == "pref.dat") fx.core->save_preferences();
    if (file == "logs.txt") fx.core->show_message(msg_debug_data, "over the limit");
    return fx.messages.box_texts().mid(boxes);
}

// What file holds before a save: for the log, enough that the next line trims it.
QByteArray old_content(const QString& file) {
    return file == "logs.txt" ? QByteArray(59990, 'o') : QByteArray("the file as it was\r\n");
}

// The names in a folder, hidden ones too, links and folders among them.
QStringList names_in(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

void TestSaveFaults::whole_file_save_leaves_files_beside_it_data() {
    QTest::addColumn<QString>("file");
    for (const QString& f : kWholeFileSavers) QTest::newRow(qPrintable(f)) << f;
}

// A user's files whose names a temporary might take are never written over nor taken away,
// save after save.
void TestSaveFaults::whole_file_save_leaves_files_beside_it() {
    QFETCH(QString, file);
    CoreFixture fx;
    fx.start();
    QMap<QString, QByteArray> users;
    for (const QString& n :
         {file + ".tmp", file + ".new", file + ".bak", file + "~", "." + file + ".swp", "." + file + ".tmp"})
        users[n] = "the user's own " + n.toUtf8();
    for (auto it = users.cbegin(); it != users.cend(); ++it) write_file(fx.path(it.key()), it.value());
    write_file(fx.path(file), old_content(file));
    const QStringList before = names_in(fx.dir.path());
    for (int i = 0; i < 3; ++i) {
        write_file(fx.path(file), old_content(file));
        QCOMPARE(save_whole(fx, file), QStringList());
    }
    QCOMPARE(names_in(fx.dir.path()), before);
    for (auto it = users.cbegin(); it != users.cend(); ++it) QCOMPARE(read_file(fx.path(it.key())), it.value());
    QVERIFY(read_file(fx.path(file)) != old_content(file));
}

void TestSaveFaults::linked_file_stays_a_link_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("links");  // the chain from the file to the one that holds the bytes
    for (const QString& f : kWholeFileSavers) {
        QTest::newRow(qPrintable(f + ", relative link")) << f << "elsewhere/real";
        QTest::newRow(qPrintable(f + ", absolute link")) << f << "/elsewhere/real";
        QTest::newRow(qPrintable(f + ", link to a link")) << f << "middle>elsewhere/real";
    }
}

// A data file or report that is a link keeps the link: the file at its end gets the bytes,
// with its permissions, and nothing is left beside either of them.
void TestSaveFaults::linked_file_stays_a_link() {
    QFETCH(QString, file);
    QFETCH(QString, links);
    CoreFixture fx;
    fx.start();
    QVERIFY(QDir(fx.dir.path()).mkdir("elsewhere"));
    const QString real = fx.path("elsewhere/real");
    write_file(real, old_content(file));
    QCOMPARE(::chmod(QFile::encodeName(real).constData(), 0640), 0);
    QFile::remove(fx.path(file));  // the start's own messages wrote a log
    QString next = file;
    QStringList chain;  // each link with what it reads
    for (QString to : links.split('>')) {
        if (to.startsWith("/elsewhere")) to = fx.path(to.mid(1));
        QCOMPARE(::symlink(QFile::encodeName(to).constData(), QFile::encodeName(fx.path(next)).constData()), 0);
        chain << next + " -> " + to;
        next = to;
    }
    auto link_texts = [&] {
        QStringList out;
        for (const QString& l : chain) {
            const QString name = l.section(" -> ", 0, 0);
            char buf[4096];
            const ssize_t n = ::readlink(QFile::encodeName(fx.path(name)).constData(), buf, sizeof buf);
            out << name + " -> " + (n < 0 ? QString("(no link)") : QFile::decodeName(QByteArray(buf, int(n))));
        }
        return out;
    };
    const QStringList top = names_in(fx.dir.path());

    QCOMPARE(save_whole(fx, file), QStringList());
    QCOMPARE(link_texts(), chain);
    const QByteArray now = read_file(real);
    QVERIFY(now != old_content(file) && !now.isEmpty());
    if (file == "logs.txt") QVERIFY(now.endsWith("Logs.txt size limit reached. Truncating data.\r\n\r\n"));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(real).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QCOMPARE(names_in(fx.dir.path()), top);
    QCOMPARE(names_in(fx.path("elsewhere")), QStringList{"real"});
}

void TestSaveFaults::special_file_is_never_replaced_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("told");
    const struct {
        const char* file;
        const char* told;
    } savers[] = {
        {"report.txt", "Error: Failure to generate report. Error: "},
        {"pref.dat", "Error: Failure to save Preferences (Pref.dat file). Error: "},
    };
    for (const auto& s : savers) {
        QTest::newRow(qPrintable(QString(s.file) + ", FIFO")) << s.file << "fifo" << s.told;
        QTest::newRow(qPrintable(QString(s.file) + ", link to a FIFO")) << s.file << "link to fifo" << s.told;
    }
}

// A FIFO in a whole file's place is neither written to (which would wait for a reader) nor
// replaced by a file.
void TestSaveFaults::special_file_is_never_replaced() {
    QFETCH(QString, file);
    QFETCH(QString, kind);
    QFETCH(QString, told);
    CoreFixture fx;
    fx.start();
    const QString fifo = kind == "fifo" ? fx.path(file) : fx.path("pipe");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    if (kind == "link to fifo") QVERIFY(QFile::link("pipe", fx.path(file)));
    const QStringList before = names_in(fx.dir.path());
    // Only a save that opens the FIFO for writing could wait: the read end lets it go on.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const QStringList texts = save_whole(fx, file);
    ::close(reader);
    QCOMPARE(texts, QStringList{told + "Not a regular file but a named pipe (FIFO)"});
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(fx.path(file)).constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
    QCOMPARE(names_in(fx.dir.path()), before);
}

// The temporary's mark makes its name longer than the file's: a report whose name takes
// nearly all the file system allows is still saved.
void TestSaveFaults::name_at_the_length_limit_is_saved() {
    CoreFixture fx;
    fx.start();
    const QString name = QString(246, u'r') + ".txt";  // 250 bytes of the 255 allowed
    fx.core->write_text_file(fx.path(name), "a long-named report", false);
    QCOMPARE(fx.messages.box_texts().filter("report"), QStringList());
    QCOMPARE(read_file(fx.path(name)), QByteArray("a long-named report\r\n"));
    QCOMPARE(QDir(fx.dir.path()).entryList({"*rrrr*"}, QDir::Files | QDir::Hidden), QStringList{name});
}

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"
