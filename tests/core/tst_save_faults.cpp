// Saves cut short: a process killed at any write, a write that fails, a disk that fills
// up. After each, the stored entries are exactly as before the save or exactly as after
// it, and no other entry is touched.
#include "core/file_io.h"
#include "core/ole_date.h"
#include "support/fakes.h"
#include "support/file_faults.h"

#include <QDir>
#include <QtTest>
#include <QRandomGenerator>
#include <cerrno>

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
    void entries_write_fails_in_edit();
    void torn_journal_is_discarded();
};

void TestSaveFaults::kill_at_every_step_data() {
    QTest::addColumn<int>("op");
    for (Op op : {edit_grow, edit_shrink, add_new, delete_entry}) QTest::newRow(op_name(op)) << int(op);
}

// The process dies at each step of the save in turn; the next start rolls the files back
// (or finds the save complete), and later saves touch no other entry.
void TestSaveFaults::kill_at_every_step() {
    QFETCH(int, op);
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
    QVERIFY(counter.steps > 2);
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
    int lost = 0, kills = 40, cut_short = 0, child_versions = 0;
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

// Each reading of a file's size during a save fails in turn: the save fails, nothing is
// renumbered and no stored byte changes.
void TestSaveFaults::unreadable_size_fails_the_save() {
    struct SizeFault : FileFault {
        qint64 allow_write(const QString&, qint64, qint64 len) override { return len; }
        bool allow_change(const QString&) override { return true; }
        int error_number() const override { return EIO; }
        bool allow_size(const QString&) override { return ++reads != fail_at; }
        int reads = 0, fail_at = 0;
    };
    CoreFixture fx;
    make_folder(fx);
    const QMap<QString, QByteArray> before = files_of(fx);
    SizeFault count;
    {
        fx.restart();
        FaultScope scope(&count);
        apply(*fx.core, edit_grow);
        QVERIFY(fx.core->save_entry());
    }
    QVERIFY(count.reads >= 4);
    for (int n = 1; n <= count.reads; ++n) {
        put_files(fx, before);
        fx.restart();
        Core& c = *fx.core;
        const int32_t next_var = c.next_vardata_index;
        SizeFault fault;
        fault.fail_at = n;
        fx.messages.boxes.clear();
        {
            FaultScope scope(&fault);
            apply(c, edit_grow);
            QVERIFY(!c.save_entry());
        }
        QVERIFY2(!fx.messages.box_texts().filter("Input/output error").isEmpty(),
                 qPrintable(fx.messages.box_texts().join("\n")));
        QCOMPARE(c.next_vardata_index, next_var);
        QCOMPARE(files_of(fx), before);
    }
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

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"
