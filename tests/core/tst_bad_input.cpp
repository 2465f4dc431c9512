// Damaged data files: the loaders take what is sound, never crash, and never write
// over what is stored.
#include "core/codepage.h"
#include "core/text_helpers.h"
#include "support/fakes.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QByteArray random_bytes(QRandomGenerator& rng, int size) {
    QByteArray b(size, Qt::Uninitialized);
    for (char& c : b) c = char(rng.bounded(256));
    return b;
}

// A sound program folder with two entries, texts and a checklist, to be damaged.
void make_sound_folder(CoreFixture& fx) {
    fx.start();
    Core& c = *fx.core;
    for (int n = 0; n < 2; ++n) {
        SummaryEntry* started = start_new_entry(c);
        QVERIFY(started);
        SummaryEntry& e = *started;
        e.security = QString("Sec %1").arg(n);
        e.other.present = kTrue;
        e.other.text = QString(230, u'd');
        e.checklist[0].Inuse = kTrue;
        e.checklist[0].last_item_index = 0;
        e.checklist[0].Item[0].text = "item";
        QVERIFY(c.save_entry());
    }
    c.save_checklist();
    QVERIFY(c.save_preferences());
}

// Loads as the start-up does, opens every element, then checks that no data file
// changed (logs.txt aside).
void load_and_open_everything(CoreFixture& fx) {
    QMap<QString, QByteArray> before;
    for (const char* name : {"entries.dat", "chklist.dat", "VarData.dat", "pref.dat"})
        before[name] = read_file(fx.path(name));
    fx.restart();
    Core& c = *fx.core;
    for (int32_t i = 0; i <= c.maxSummarydata_index(); ++i) c.load_entry(i);
    c.goto_previous_entry();
    c.goto_next_entry();
    for (auto it = before.constBegin(); it != before.constEnd(); ++it)
        QCOMPARE(read_file(fx.path(it.key())), it.value());
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT

private slots:
    void damaged_files_data();
    void damaged_files();
    void truncated_at_every_size_data();
    void truncated_at_every_size();
    void garbage_preferences();
    void empty_files();
};

void TestBadInput::damaged_files_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("seed");
    for (const char* file : {"entries.dat", "chklist.dat", "VarData.dat", "pref.dat"})
        for (int seed = 1; seed <= 12; ++seed)
            QTest::newRow(qPrintable(QString("%1 #%2").arg(file).arg(seed))) << QString(file) << seed;
}

void TestBadInput::damaged_files() {
    QFETCH(QString, file);
    QFETCH(int, seed);
    QRandomGenerator rng(seed);
    CoreFixture fx;
    make_sound_folder(fx);
    QByteArray bytes = read_file(fx.path(file));
    switch (seed % 4) {
    case 0:  // all garbage, of a random size up to 40 records
        bytes = random_bytes(rng, rng.bounded(1, 40 * 3044));
        break;
    case 1:  // random bytes flipped in place
        for (int i = 0; i < 64 && !bytes.isEmpty(); ++i) bytes[rng.bounded(int(bytes.size()))] = char(rng.bounded(256));
        break;
    case 2:  // cut short at a random point
        bytes.truncate(rng.bounded(int(bytes.size()) + 1));
        break;
    case 3:  // oversized: garbage appended
        bytes += random_bytes(rng, rng.bounded(1, 200000));
        break;
    }
    write_file(fx.path(file), bytes);
    load_and_open_everything(fx);
}

void TestBadInput::truncated_at_every_size_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("record");
    QTest::newRow("entries.dat") << "entries.dat" << 3044;
    QTest::newRow("VarData.dat") << "VarData.dat" << 111;
}

void TestBadInput::truncated_at_every_size() {
    QFETCH(QString, file);
    QFETCH(int, record);
    CoreFixture fx;
    make_sound_folder(fx);
    const QByteArray whole = read_file(fx.path(file));
    for (qsizetype cut = 0; cut < whole.size(); cut += record / 7 + 1) {
        write_file(fx.path(file), whole.left(cut));
        load_and_open_everything(fx);
    }
}

void TestBadInput::garbage_preferences() {
    QRandomGenerator rng(99);
    CoreFixture fx;
    fx.start();
    for (int round = 0; round < 30; ++round) {
        // Fragments of tags mixed with noise.
        QString text;
        const QStringList parts{"<tiponstartup>", "<\\tiponstartup>", "<nexttipindex>", "<\\nexttipindex>", "<trans_type>",
                                "<\\trans_type>", "<textcolor>", "<custom_links>", "<\\custom_links>", ",,", "<websec>", "9999"};
        for (int i = 0; i < 40; ++i)
            text += rng.bounded(2) ? parts[rng.bounded(int(parts.size()))] : decode_cp1252(random_bytes(rng, 5));
        write_file(fx.path("pref.dat"), encode_cp1252(text));
        fx.restart();
        const Core& c = *fx.core;
        QVERIFY(c.tiponstartup == u"y" || c.tiponstartup == u"n");
        QVERIFY(numeric_value(c.nexttipindex) >= 0 && numeric_value(c.nexttipindex) <= kMaxTipIndex);
        for (const QString& t : c.trans_type) QVERIFY(!t.isEmpty());
    }
}

void TestBadInput::empty_files() {
    CoreFixture fx;
    for (const char* name : {"entries.dat", "chklist.dat", "VarData.dat", "pref.dat"}) write_file(fx.path(name), {});
    fx.start();
    const Core& c = *fx.core;
    QCOMPARE(c.SummaryData.size(), 2);
    QCOMPARE(c.Checklists.size(), 1);  // the example
    QCOMPARE(c.next_summary_record, 1);
    QCOMPARE(c.next_vardata_index, 1);
    QCOMPARE(c.num_summary_file_records, 0);
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_bad_input.moc"
