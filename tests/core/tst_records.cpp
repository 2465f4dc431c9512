// The record files byte for byte, and the save/load paths around them.
#include "core/ole_date.h"
#include "core/text_helpers.h"
#include "support/fakes.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

// The little-endian value at off, read byte by byte and never past the record's end
// (a short record gives 0 and a warning, and the comparison that follows fails).
template <typename T>
T le_at(const QByteArray& b, qsizetype off) {
    T value{};
    if (off < 0 || off + qsizetype(sizeof(T)) > b.size()) {
        qWarning("record of %lld bytes read at %lld", qlonglong(b.size()), qlonglong(off));
        return value;
    }
    char raw[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i) raw[i] = b.at(off + qsizetype(i));
    memcpy(&value, raw, sizeof(T));
    return qFromLittleEndian(value);
}
int16_t i16_at(const QByteArray& b, qsizetype off) { return le_at<int16_t>(b, off); }
int32_t i32_at(const QByteArray& b, qsizetype off) { return le_at<int32_t>(b, off); }
int64_t i64_at(const QByteArray& b, qsizetype off) { return le_at<int64_t>(b, off); }
double f64_at(const QByteArray& b, qsizetype off) {
    const quint64 bits = le_at<quint64>(b, off);
    double d;
    memcpy(&d, &bits, 8);
    return d;
}
QByteArray padded(const QByteArray& text, int width) { return text + QByteArray(width - text.size(), ' '); }

// A new entry in current_entry with one answered block, ready for save_entry.
void make_new_entry(Core& c, const QString& security, const QString& details) {
    SummaryEntry* started = start_new_entry(c);
    QVERIFY(started);
    SummaryEntry& e = *started;
    e.security = security;
    e.symbol = "ACME";
    e.transaction = "Buy";
    e.price = 125000;  // 12.5
    e.entry_date = ole_from_date(QDate(2026, 3, 14));
    e.other.present = to_flag(!details.isEmpty());
    e.other.text = details;
    EntryChecklist& blk = e.checklist[0];
    blk.Inuse = kTrue;
    blk.name = "Keep Focus";
    blk.last_item_index = 1;
    blk.Item[0].answer = answer_yes;
    blk.Item[0].text = "Be patient.";
    blk.Item[0].comment = "I am.";
    blk.Item[1].answer = answer_unsure;
    blk.Item[1].text = "How much debt?";
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT

private slots:
    void new_entry_record_bytes();
    void save_and_load_round_trip();
    void vardata_chains_data();
    void vardata_chains();
    void vardata_truncates_long_text();
    void vardata_read_range_and_owner();
    void empty_or_blank_long_text_is_no_text();
    void unreadable_long_text_keeps_reference();
    void failed_new_save_gives_number_back();
    void edit_with_bad_index_saves_nothing();
    void partial_tail_is_not_a_record();
    void deleted_records_are_skipped();
    void stored_fields_as_read_data();
    void stored_fields_as_read();
    void stored_items_as_read();
    void entry_slots_and_navigation();
    void security_symbol_field_data();
    void security_symbol_field();
    void example_checklist_saved_as_record_1();
    void record_bytes_are_windows_1252_and_ole_dates();
    void full_width_fields();
    void any_deleted_value_is_skipped_data();
    void any_deleted_value_is_skipped();
    void damaged_counts_are_clamped_data();
    void damaged_counts_are_clamped();
    void vardata_cycle_is_not_followed();
    void unreadable_item_texts_keep_chains_data();
    void unreadable_item_texts_keep_chains();
    void comment_of_an_empty_item_is_read();
    void reload_keeps_table_when_file_cannot_open();
    void checklist_load_skips_deleted_data();
    void checklist_load_skips_deleted();
};

void TestRecords::new_entry_record_bytes() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    make_new_entry(c, "Acme Corp", "Cheap.");
    QVERIFY(c.save_entry());

    const QByteArray file = read_file(fx.path("entries.dat"));
    QCOMPARE(file.size(), 2 * 3044);
    QCOMPARE(file.left(3044), QByteArray(3044, '\0'));  // record 1: placeholder
    const QByteArray r = file.mid(3044);
    QCOMPARE(i32_at(r, 0), 2);
    QCOMPARE(uint8_t(r[4]), uint8_t(1));
    QCOMPARE(i16_at(r, 5), int16_t(-1));
    QCOMPARE(i16_at(r, 7), int16_t(0));
    QCOMPARE(f64_at(r, 9), ole_from_date(QDate(2026, 3, 14)));
    QCOMPARE(r.mid(17, 40), padded("Acme Corp<s>ACME<\\s>", 40));
    QCOMPARE(r.mid(57, 25), padded("Buy", 25));
    QCOMPARE(i64_at(r, 82), int64_t(125000));
    QCOMPARE(i16_at(r, 90), int16_t(0));
    QCOMPARE(r.mid(92, 200), QByteArray(200, ' '));
    QCOMPARE(i16_at(r, 596), int16_t(0));
    QCOMPARE(i32_at(r, 598), 0);
    QCOMPARE(i16_at(r, 602), int16_t(-1));
    QCOMPARE(i32_at(r, 604), 1);  // the details chain comes first in VarData.dat
    // Block 0 in use, its items' chains after the details.
    QCOMPARE(i16_at(r, 608), int16_t(-1));
    QCOMPARE(r.mid(612, 100), padded("Keep Focus", 100));
    QCOMPARE(i16_at(r, 712), int16_t(1));
    QCOMPARE(i16_at(r, 714), int16_t(answer_yes));
    QCOMPARE(i32_at(r, 716), 2);
    QCOMPARE(i32_at(r, 720), 3);
    QCOMPARE(i16_at(r, 724), int16_t(answer_unsure));
    QCOMPARE(i32_at(r, 726), 4);
    QCOMPARE(i32_at(r, 730), 0);  // no comment, no chain
    // Block 1 unused: all zero with a blank name.
    QCOMPARE(i16_at(r, 608 + 406), int16_t(0));
    QCOMPARE(r.mid(608 + 406 + 4, 100), QByteArray(100, ' '));

    const QByteArray var = read_file(fx.path("VarData.dat"));
    QCOMPARE(var.size(), 4 * 111);
    QCOMPARE(i16_at(var, 0), int16_t(-1));
    QCOMPARE(uint8_t(var[2]), uint8_t(1));
    QCOMPARE(i32_at(var, 3), 2);  // owner: the entry's record
    QCOMPARE(i32_at(var, 7), 0);
    QCOMPARE(var.mid(11, 100), padded("Cheap.", 100));
    QCOMPARE(c.next_summary_record, 3);
    QCOMPARE(c.num_summary_file_records, 1);
}

void TestRecords::save_and_load_round_trip() {
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, QString::fromUtf8("Café €uro"), QString(260, u'x') + " end");
    QVERIFY(fx.core->save_entry());
    make_new_entry(*fx.core, "Second", QString());
    QVERIFY(fx.core->save_entry());

    fx.restart();
    Core& c = *fx.core;
    QCOMPARE(c.SummaryData.size(), 2);
    const SummaryEntry& e = c.SummaryData[0];
    QCOMPARE(e.file_idx, 2);
    QCOMPARE(e.security, QString::fromUtf8("Café €uro"));
    QCOMPARE(e.symbol, QString("ACME"));
    QCOMPARE(e.price, Currency(125000));
    QVERIFY(e.other.text.isEmpty());  // long texts are read only when an entry is opened
    QCOMPARE(c.SummaryData[1].file_idx, 3);
    QCOMPARE(c.SummaryData[1].other.present, Flag(0));

    QVERIFY(c.load_entry(0));
    QCOMPARE(c.current_entry.mode, mode_edit);
    QCOMPARE(c.current_entry.entry.other.text, QString(260, u'x') + " end");
    const EntryChecklist& blk = c.current_entry.entry.checklist[0];
    QCOMPARE(blk.name, QString("Keep Focus"));
    QCOMPARE(blk.Item[0].text, QString("Be patient."));
    QCOMPARE(blk.Item[0].comment, QString("I am."));
    QCOMPARE(blk.Item[1].answer, int16_t(answer_unsure));
    QCOMPARE(blk.Item[1].comment, QString());

    // Editing rewrites in place: same record, same chain start.
    c.current_entry.entry.other.text = "Short now.";
    c.current_entry.entry.checklist[0].Item[0].comment.clear();
    QVERIFY(c.save_entry());
    QCOMPARE(read_file(fx.path("entries.dat")).size(), 3 * 3044);
    fx.restart();
    QVERIFY(fx.core->load_entry(0));
    QCOMPARE(fx.core->current_entry.entry.other.text, QString("Short now."));
    QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[0].comment_index, 0);
    for (const QString& box : fx.messages.box_texts())  // only the missing-checklist notices
        QCOMPARE(box, QString("Error: Checklist File NOT Found. Using Default Checklist"));
}

void TestRecords::vardata_chains_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QList<int>>("nexts");    // Index_to_next of records 1.. after both writes
    QTest::addColumn<QList<int>>("inuse");
    QTest::newRow("250 alone") << 250 << 0 << QList<int>{2, 3, 0} << QList<int>{-1, -1, -1};
    QTest::newRow("250 then 120 frees 3") << 250 << 120 << QList<int>{2, 0, 0} << QList<int>{-1, -1, 0};
    QTest::newRow("250 then 420 appends 4, 5") << 250 << 420 << QList<int>{2, 3, 4, 5, 0} << QList<int>{-1, -1, -1, -1, -1};
    QTest::newRow("100 is one record") << 100 << 0 << QList<int>{0} << QList<int>{-1};
    QTest::newRow("101 is two") << 101 << 0 << QList<int>{2, 0} << QList<int>{-1, -1};
    QTest::newRow("500 then 100 frees 2 to 5") << 500 << 100 << QList<int>{0, 0, 0, 0, 0} << QList<int>{-1, 0, 0, 0, 0};
}

void TestRecords::vardata_chains() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QList<int>, nexts);
    QFETCH(QList<int>, inuse);
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QFile f;
    QVERIFY(c.open_vardata(f));
    auto text_of = [](int n) {
        QString s;
        for (int i = 0; i < n; ++i) s += QChar(u'a' + i % 26);
        return s;
    };
    int32_t index = c.next_vardata_index;
    QCOMPARE(index, 1);
    QVERIFY(c.write_vardata(f, index, text_of(first)));
    QString expected = text_of(first);
    if (second) {
        QVERIFY(c.write_vardata(f, index, text_of(second)));
        expected = text_of(second);
    }
    QCOMPARE(index, 1);
    QString back;
    uint8_t format = 0;
    int32_t owner = -1;
    QVERIFY(c.read_vardata(f, 1, back, format, owner));
    QCOMPARE(back, expected);
    QCOMPARE(format, uint8_t(1));
    f.close();

    const QByteArray var = read_file(fx.path("VarData.dat"));
    QCOMPARE(var.size(), nexts.size() * 111);
    for (int r = 0; r < nexts.size(); ++r) {
        QCOMPARE(i32_at(var, r * 111 + 7), nexts[r]);
        QCOMPARE(i16_at(var, r * 111), int16_t(inuse[r]));
    }
    if (first == 250 && !second) QCOMPARE(var.mid(2 * 111 + 11, 100), text_of(250).mid(200).toLatin1() + QByteArray(50, ' '));
    if (second == 120) QCOMPARE(var.mid(2 * 111 + 11, 100), padded("Free", 100));
    for (int r = 1; second == 100 && r < 5; ++r) QCOMPARE(var.mid(r * 111 + 11, 100), padded("Free", 100));
}

void TestRecords::vardata_truncates_long_text() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QFile f;
    QVERIFY(c.open_vardata(f));
    int32_t index = c.next_vardata_index;
    QVERIFY(c.write_vardata(f, index, QString(60000, u'z')));
    QString back;
    uint8_t format;
    int32_t owner;
    QVERIFY(c.read_vardata(f, index, back, format, owner));
    QCOMPARE(back.size(), 50000);
    QCOMPARE(c.next_vardata_index, 501);
    f.close();
    const QByteArray log = read_file(fx.path("logs.txt"));
    QCOMPARE(log.count("VarData String Length too large. Truncating. Value: 600"), 1);
}

void TestRecords::vardata_read_range_and_owner() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QFile f;
    QVERIFY(c.open_vardata(f));
    int32_t index = c.next_vardata_index;
    c.current_entry.entry.file_idx = 7;
    QVERIFY(c.write_vardata(f, index, QString(150, u'q') + "  "));
    QString back;
    uint8_t format;
    int32_t owner;
    QVERIFY(!c.read_vardata(f, c.next_vardata_index, back, format, owner));  // the next free record
    QVERIFY(c.read_vardata(f, 1, back, format, owner));
    QCOMPARE(owner, 7);
    QCOMPARE(back, QString(150, u'q'));  // trailing blanks do not survive
    f.close();
    // Give record 2 another owner: read whole, one log line.
    QByteArray var = read_file(fx.path("VarData.dat"));
    qToLittleEndian<int32_t>(9, var.data() + 111 + 3);
    write_file(fx.path("VarData.dat"), var);
    QVERIFY(c.open_vardata(f));
    QVERIFY(c.read_vardata(f, 1, back, format, owner));
    QCOMPARE(back.size(), 150);
    QVERIFY(read_file(fx.path("logs.txt")).contains("VarData Owner inconsistency. Record: 2 Index's 7, 9"));
    QVERIFY(fx.messages.box_texts().filter("Owner").isEmpty());  // logged only
}

void TestRecords::empty_or_blank_long_text_is_no_text() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    make_new_entry(c, "Blank", "   ");
    c.current_entry.entry.checklist[0].Item[0].comment = "   ";
    c.current_entry.entry.checklist[0].Item[1].text.clear();  // empty item between filled ones
    QVERIFY(c.save_entry());
    const SummaryEntry& e = c.SummaryData[c.current_entry.index];
    QCOMPARE(e.other.Index_to_other, 0);
    QCOMPARE(e.other.present, Flag(0));
    QCOMPARE(e.checklist[0].Item[0].comment_index, 0);
    QCOMPARE(e.checklist[0].Item[1].text_index, 0);
    QCOMPARE(read_file(fx.path("VarData.dat")).size(), 111);  // only "Be patient."
    QCOMPARE(read_file(fx.path("entries.dat")).size(), 2 * 3044);
}

void TestRecords::unreadable_long_text_keeps_reference() {
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, "Acme", "Stored details.");
    QVERIFY(fx.core->save_entry());
    // VarData.dat goes missing: the reference must survive an edit and a save.
    const QByteArray var = read_file(fx.path("VarData.dat"));
    QFile::remove(fx.path("VarData.dat"));
    fx.restart();
    Core& c = *fx.core;
    int marked = 0;
    c.hooks.addentry_set_add_or_edit_ongoing = [&] { ++marked; };
    c.load_entry(0);
    QVERIFY(fx.messages.box_texts().contains("Error: Unable to Read OTHER Data File: Index: 1"));
    QCOMPARE(fx.messages.box_texts().filter("Some checklist texts of this entry could not be read").size(), 1);
    QVERIFY(marked > 0);
    QCOMPARE(c.current_entry.entry.other.present, kTrue);
    QCOMPARE(c.current_entry.entry.other.Index_to_other, 1);
    c.current_entry.entry.price = 990000;
    QVERIFY(c.save_entry());
    QCOMPARE(i32_at(read_file(fx.path("entries.dat")), 3044 + 604), 1);
    QCOMPARE(i16_at(read_file(fx.path("entries.dat")), 3044 + 602), int16_t(-1));
    // With the file back, the text is there again.
    write_file(fx.path("VarData.dat"), var);
    fx.restart();
    QVERIFY(fx.core->load_entry(0));
    QCOMPARE(fx.core->current_entry.entry.other.text, QString("Stored details."));
    QCOMPARE(fx.core->current_entry.entry.price, Currency(990000));
}

void TestRecords::failed_new_save_gives_number_back() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    // entries.dat cannot be opened for writing: a folder of that name.
    QFile::remove(fx.path("entries.dat"));
    QVERIFY(QDir(fx.dir.path()).mkdir("entries.dat"));
    make_new_entry(c, "Lost", QString());
    QVERIFY(!c.save_entry());
    QVERIFY(fx.messages.box_texts().contains("Error: Add Summary Data Failed. File Error"));
    QCOMPARE(c.next_summary_record, 2);
    QCOMPARE(c.current_entry.entry.file_idx, 0);
    QVERIFY(QDir(fx.dir.path()).rmdir("entries.dat"));
    QVERIFY(c.save_entry());
    QCOMPARE(c.current_entry.entry.file_idx, 2);
    make_new_entry(c, "Next", QString());
    QVERIFY(c.save_entry());
    QCOMPARE(c.current_entry.entry.file_idx, 3);
    fx.restart();
    QCOMPARE(fx.core->SummaryData[0].security, QString("Lost"));
    QCOMPARE(fx.core->SummaryData[1].security, QString("Next"));
}

void TestRecords::edit_with_bad_index_saves_nothing() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    c.current_entry.mode = mode_edit;
    c.current_entry.index = c.maxSummarydata_index() + 1;
    c.current_entry.entry.security = "X";
    QVERIFY(!c.save_entry());
    QCOMPARE(fx.messages.box_texts().last(), QString("Error: Data NOT Saved. Bad summary file index: 2"));
    QCOMPARE(c.current_entry.entry.security, QString());
    QCOMPARE(read_file(fx.path("entries.dat")).size(), 0);
}

void TestRecords::partial_tail_is_not_a_record() {
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, "Whole", QString());
    QVERIFY(fx.core->save_entry());
    QByteArray bytes = read_file(fx.path("entries.dat"));
    bytes += QByteArray(2000, '\x7f');  // a torn write, over half a record
    write_file(fx.path("entries.dat"), bytes);
    fx.restart();
    Core& c = *fx.core;
    QCOMPARE(c.num_summary_file_records, 2);
    QCOMPARE(c.SummaryData[0].security, QString("Whole"));
    QVERIFY(!c.SummaryData[1].is_live());
    make_new_entry(c, "After", QString());
    QVERIFY(c.save_entry());
    QCOMPARE(c.current_entry.entry.file_idx, 3);
    QCOMPARE(read_file(fx.path("entries.dat")).size(), 3 * 3044);
}

void TestRecords::deleted_records_are_skipped() {
    CoreFixture fx;
    fx.start();
    for (const char* name : {"A", "B", "C", "D"}) {
        make_new_entry(*fx.core, name, QString());
        QVERIFY(fx.core->save_entry());
    }
    Core& c = *fx.core;
    QCOMPARE(c.SummaryData[2].security, QString("B"));
    QVERIFY(c.load_entry(2));
    c.current_entry.entry.deleted = kTrue;
    QVERIFY(c.save_entry());
    QCOMPARE(i16_at(read_file(fx.path("entries.dat")), 2 * 3044 + 7), int16_t(-1));
    fx.restart();
    QStringList names;
    QList<int> records;
    for (const SummaryEntry& e : fx.core->SummaryData)
        if (e.is_live()) names << e.security, records << e.file_idx;
    QCOMPARE(names, QStringList({"A", "C", "D"}));
    QCOMPARE(records, QList<int>({2, 4, 5}));
}

// A record as another writer may have left it: text fields padded unevenly, tags
// without their close, code page bytes.
QByteArray raw_entry(const QByteArray& security_symbol, const QByteArray& transaction) {
    QByteArray rec(3044, '\0');
    qToLittleEndian<int16_t>(-1, rec.data() + 5);
    rec.replace(17, 40, padded(security_symbol, 40));
    rec.replace(57, 25, padded(transaction, 25));
    for (int off : {92, 292, 396}) rec.replace(off, off == 292 ? 100 : 200, QByteArray(off == 292 ? 100 : 200, ' '));
    for (int k = 0; k < 6; ++k) rec.replace(608 + 406 * k + 4, 100, QByteArray(100, ' '));
    return rec;
}

void TestRecords::stored_fields_as_read_data() {
    QTest::addColumn<QByteArray>("security_symbol");
    QTest::addColumn<QByteArray>("transaction");
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("transaction_read");
    QTest::newRow("tagged") << QByteArray("Acme<s>AC<\\s>") << QByteArray("Buy") << "Acme" << "AC" << "Buy";
    QTest::newRow("blanks kept before the tag") << QByteArray("           Acme Corp  <s>AC<\\s>") << QByteArray(24, ' ') + 'X'
                                                << "Acme Corp  " << "AC" << "X";
    QTest::newRow("no close tag") << QByteArray("Acme<s>AC") << QByteArray("  Sell  ") << "Acme" << "" << "Sell";
    QTest::newRow("empty symbol") << QByteArray("Acme<s><\\s>") << QByteArray("a b") << "Acme" << "" << "a b";
    QTest::newRow("untagged, trimmed") << QByteArray("          Plain  name") << QByteArray("         Cover Short")
                                       << "Plain  name" << "" << "Cover Short";
    QTest::newRow("all blank") << QByteArray() << QByteArray() << "" << "" << "";
    QTest::newRow("full width") << QByteArray(40, 'W') << QByteArray(25, 'T') << QString(40, u'W') << "" << QString(25, u'T');
    QTest::newRow("code page") << QByteArray("\x80uro\xe9<s>\x9c<\\s>") << QByteArray("\x93Hold\x94") << QString::fromUtf8("€uroé")
                               << QString::fromUtf8("œ") << QString::fromUtf8("“Hold”");
}

void TestRecords::stored_fields_as_read() {
    QFETCH(QByteArray, security_symbol);
    QFETCH(QByteArray, transaction);
    CoreFixture fx;
    write_file(fx.path("entries.dat"), QByteArray(3044, '\0') + raw_entry(security_symbol, transaction) +
                                           raw_entry("Second<s>S2<\\s>", "Buy"));
    fx.start();
    const SummaryEntry& e = fx.core->SummaryData[0];
    QTEST(e.security, "security");
    QTEST(e.symbol, "symbol");
    QTEST(e.transaction, "transaction_read");
    QVERIFY(e.web.address.isEmpty() && e.web.reference_name.isEmpty() && e.file.path.isEmpty());
    QCOMPARE(fx.core->SummaryData[1].symbol, QString("S2"));
}

// Items as stored, with gaps and in a block not in use, read the same through the
// table, after an entry is opened, and after an edit of the opened copy.
void TestRecords::stored_items_as_read() {
    QByteArray rec = raw_entry("Acme<s>AC<\\s>", "Buy");
    auto item = [&](int k, int j, int16_t answer, int32_t text, int32_t comment) {
        const int o = 608 + 406 * k + 106 + 10 * j;
        qToLittleEndian<int16_t>(answer, rec.data() + o);
        qToLittleEndian<int32_t>(text, rec.data() + o + 2);
        qToLittleEndian<int32_t>(comment, rec.data() + o + 6);
    };
    qToLittleEndian<int16_t>(-1, rec.data() + 608);
    qToLittleEndian<int16_t>(29, rec.data() + 608 + 104);
    item(0, 0, answer_yes, 0, 0);
    item(0, 3, 0, 0, 7);
    item(0, 29, answer_no, 5, 0);
    item(4, 29, answer_unsure, 0, 0);  // block 4 is not in use
    CoreFixture fx;
    write_file(fx.path("entries.dat"), QByteArray(3044, '\0') + rec + rec);
    fx.start();
    Core& c = *fx.core;
    auto check = [](const SummaryEntry& e) {
        const ItemArray& items = e.checklist[0].Item;
        QCOMPARE(items[0].answer, int16_t(answer_yes));
        QCOMPARE(items[3].comment_index, 7);
        QCOMPARE(items[29].answer, int16_t(answer_no));
        QCOMPARE(items[29].text_index, 5);
        for (int j : {1, 2, 4, 28}) QCOMPARE(items[j].answer + items[j].text_index + items[j].comment_index, 0);
        QCOMPARE(e.checklist[4].Item[29].answer, int16_t(answer_unsure));
        QCOMPARE(e.checklist[1].Item[0].answer, int16_t(0));
    };
    check(c.SummaryData[0]);
    const SummaryEntry copy = c.SummaryData[1];
    c.load_entry(1);
    c.current_entry.entry.checklist[0].Item[3].answer = answer_no;
    QCOMPARE(c.current_entry.entry.checklist[0].Item[29].text_index, 5);
    check(c.SummaryData[1]);
    check(copy);
}

void TestRecords::entry_slots_and_navigation() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    // An empty file: two free elements, the last one is the slot, twice.
    QCOMPARE(c.SummaryData.size(), 2);
    int32_t a = -1, b = -1;
    QVERIFY(c.get_new_entry_slot(a));
    QVERIFY(c.get_new_entry_slot(b));
    QCOMPARE(a, 1);
    QCOMPARE(b, 1);
    for (int i = 0; i < 5; ++i) {
        make_new_entry(c, QString::number(i), QString());
        QVERIFY(c.save_entry());
    }
    // Element 0 stayed free; elements 1..5 hold entries. Make 3 not live.
    c.SummaryData[3].Inuse = 1;  // only -1 counts
    c.SummaryData[4].deleted = kTrue;
    c.current_entry.index = 2;
    c.goto_next_entry();
    QCOMPARE(c.current_entry.index, 5);
    c.goto_next_entry();
    QCOMPARE(c.current_entry.index, 5);
    c.goto_previous_entry();
    QCOMPARE(c.current_entry.index, 2);
    c.goto_previous_entry();
    QCOMPARE(c.current_entry.index, 1);
    c.goto_previous_entry();
    QCOMPARE(c.current_entry.index, 1);
}

void TestRecords::security_symbol_field_data() {
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("security_back");
    QTest::addColumn<QString>("symbol_back");
    QTest::newRow("20 + 13 fits") << QString(20, u'S') << QString(13, u'Y') << QString(20, u'S') << QString(13, u'Y');
    QTest::newRow("empty security") << QString() << QString("IGN") << QString() << QString();
    QTest::newRow("too long loses symbol") << QString(30, u'S') << QString("ABCDEF") << QString(30, u'S') << QString();
}

void TestRecords::security_symbol_field() {
    QFETCH(QString, security);
    QFETCH(QString, symbol);
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, security, QString());
    fx.core->current_entry.entry.symbol = symbol;
    QVERIFY(fx.core->save_entry());
    fx.restart();
    QTEST(fx.core->SummaryData[0].security, "security_back");
    QTEST(fx.core->SummaryData[0].symbol, "symbol_back");
}

void TestRecords::example_checklist_saved_as_record_1() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QVERIFY(fx.messages.box_texts().contains("Error: Checklist File NOT Found. Using Default Checklist"));
    QVERIFY(QFile::exists(fx.path("chklist.dat")));
    QCOMPARE(c.Checklists.size(), 1);
    QCOMPARE(c.Checklists[0].ShowIt, int16_t(1));
    c.save_checklist();
    QCOMPARE(c.Checklists[0].file_idx, 1);
    const QByteArray r = read_file(fx.path("chklist.dat"));
    QCOMPARE(r.size(), 31622);
    QCOMPARE(i32_at(r, 0), 1);
    QCOMPARE(i16_at(r, 4), int16_t(1));
    QCOMPARE(i16_at(r, 6), int16_t(-1));
    QCOMPARE(i16_at(r, 8), int16_t(0));
    QCOMPARE(i16_at(r, 10), int16_t(0));
    QCOMPARE(r.mid(12, 100), padded("Dunmarrow Keep Focus", 100));
    QCOMPARE(r.mid(112, 100), padded("Dunmarrow", 100));
    QCOMPARE(f64_at(r, 412), ole_from_date(QDate(2026, 3, 14)));
    QCOMPARE(r.mid(620, 1000), padded("This is an example Checklist, present when the Checklist file is not found.", 1000));
    QCOMPARE(i16_at(r, 1620), int16_t(5));
    QCOMPARE(r.mid(1622, 1000), padded("Be Patient. Boredom is your enemy!", 1000));
    QCOMPARE(r.mid(1622 + 4000, 1000),
             padded("What industry is the company in? What is the company's place in the industry?", 1000));
    QCOMPARE(r.mid(1622 + 5000, 1000), QByteArray(1000, ' '));
    fx.restart();
    QCOMPARE(fx.core->Checklists.size(), 1);
    QCOMPARE(fx.core->Checklists[0].Item[1], QString("How much debt does the company have?"));
}

void TestRecords::checklist_load_skips_deleted_data() {
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<int>>("deleted");
    QTest::addColumn<QList<int>>("loaded");  // file_idx of the loaded elements
    QTest::addColumn<int>("table_size");
    QTest::newRow("one record") << 1 << QList<int>{} << QList<int>{1} << 1;
    QTest::newRow("five, 2 and 4 deleted") << 5 << QList<int>{2, 4} << QList<int>{1, 3, 5} << 3;
    QTest::newRow("three, one deleted keeps a blank") << 3 << QList<int>{2} << QList<int>{1, 3} << 3;
    QTest::newRow("all deleted") << 2 << QList<int>{1, 2} << QList<int>{} << 2;
}

void TestRecords::checklist_load_skips_deleted() {
    QFETCH(int, records);
    QFETCH(QList<int>, deleted);
    QFETCH(QList<int>, loaded);
    QFETCH(int, table_size);
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    c.Checklists.resize(records);
    for (int i = 0; i < records; ++i) {
        c.Checklists[i] = c.blank_checklist;
        c.Checklists[i].Inuse = kTrue;
        c.Checklists[i].Name = QString("List %1").arg(i + 1);
        c.Checklists[i].deleted = to_flag(deleted.contains(i + 1));
    }
    c.save_checklist();
    fx.restart();
    QCOMPARE(fx.core->Checklists.size(), table_size);
    for (int i = 0; i < loaded.size(); ++i) {
        QCOMPARE(fx.core->Checklists[i].file_idx, loaded[i]);
        QCOMPARE(fx.core->Checklists[i].Name, QString("List %1").arg(loaded[i]));
    }
    for (int i = loaded.size(); i < table_size; ++i) QCOMPARE(fx.core->Checklists[i].Inuse, Flag(0));
}

void TestRecords::record_bytes_are_windows_1252_and_ole_dates() {
    // Stored values written out, not computed with the program's own conversions.
    QCOMPARE(ole_from_date(QDate(2026, 3, 14)), 46095.0);
    QCOMPARE(ole_from_datetime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    QCOMPARE(datetime_from_ole(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
    QCOMPARE(date_from_ole(46095.0), QDate(2026, 3, 14));

    CoreFixture fx;
    fx.start();
    const QString cp = QString::fromUtf8("\u20AC\u2018\u2019\u00FF");  // 0x80 0x91 0x92 0xFF
    make_new_entry(*fx.core, "A" + cp, cp + " details");
    QVERIFY(fx.core->save_entry());
    QByteArray ent = read_file(fx.path("entries.dat"));
    const QByteArray r = ent.mid(3044);
    QCOMPARE(r.mid(17, 16), QByteArray("A\x80\x91\x92\xFF<s>ACME<\\s>"));
    QCOMPARE(f64_at(r, 9), 46095.0);
    QCOMPARE(read_file(fx.path("VarData.dat")).mid(11, 12), QByteArray("\x80\x91\x92\xFF details"));

    // Bytes planted in the file read back as the characters they stand for.
    ent.replace(3044 + 57, 5, QByteArray("\x93" "Buy\x94"));
    const double early = -1.25;
    quint64 bits;
    memcpy(&bits, &early, 8);
    qToLittleEndian<quint64>(bits, ent.data() + 3044 + 9);
    write_file(fx.path("entries.dat"), ent);
    fx.restart();
    const SummaryEntry& e = fx.core->SummaryData[0];
    QCOMPARE(e.security, "A" + cp);
    QCOMPARE(e.transaction, QString::fromUtf8("\u201CBuy\u201D"));
    QCOMPARE(e.entry_date, -1.25);
    QVERIFY(fx.core->load_entry(0));
    QCOMPARE(fx.core->current_entry.entry.other.text, cp + " details");
}

void TestRecords::full_width_fields() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    make_new_entry(c, "Wide", QString());
    SummaryEntry& e = c.current_entry.entry;
    const QString address = QString(199, u'a') + u'Z', topic = QString(99, u't') + u'Y', path = QString(199, u'p') + u'X';
    e.web.present = kTrue;
    e.web.address = address;
    e.web.reference_name = topic;
    e.file.present = kTrue;
    e.file.path = path;
    QVERIFY(c.save_entry());
    const QByteArray r = read_file(fx.path("entries.dat")).mid(3044);
    QCOMPARE(r.mid(92, 200), address.toLatin1());
    QCOMPARE(r.mid(292, 100), topic.toLatin1());
    QCOMPARE(r.mid(396, 200), path.toLatin1());
    QCOMPARE(r.at(291), 'Z');
    QCOMPARE(r.at(391), 'Y');
    QCOMPARE(r.at(595), 'X');

    c.Checklists.resize(1);
    c.Checklists[0] = c.blank_checklist;
    c.Checklists[0].Inuse = kTrue;
    c.Checklists[0].Name = "Wide list";
    c.Checklists[0].BookRef = QString(99, u'b') + u'B';
    c.Checklists[0].WebSite = QString(99, u'w') + u'W';
    c.save_checklist();
    const QByteArray cl = read_file(fx.path("chklist.dat"));
    QCOMPARE(cl.mid(420, 100), (QString(99, u'b') + u'B').toLatin1());
    QCOMPARE(cl.mid(520, 100), (QString(99, u'w') + u'W').toLatin1());

    fx.restart();
    const SummaryEntry& back = fx.core->SummaryData[0];
    QCOMPARE(back.web.address, address);
    QCOMPARE(back.web.reference_name, topic);
    QCOMPARE(back.file.path, path);
    QCOMPARE(fx.core->Checklists[0].BookRef, QString(99, u'b') + u'B');
    QCOMPARE(fx.core->Checklists[0].WebSite, QString(99, u'w') + u'W');
}

void TestRecords::any_deleted_value_is_skipped_data() {
    QTest::addColumn<int>("deleted");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("0 is live") << 0 << true;
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("1") << 1 << false;
    QTest::newRow("2") << 2 << false;
}

// Any non-zero deleted flag skips the record, as the loader of the stored files does.
void TestRecords::any_deleted_value_is_skipped() {
    QFETCH(int, deleted);
    QFETCH(bool, loaded);
    CoreFixture fx;
    fx.start();
    for (const char* name : {"First", "Second"}) {
        make_new_entry(*fx.core, name, QString());
        QVERIFY(fx.core->save_entry());
    }
    QByteArray ent = read_file(fx.path("entries.dat"));
    qToLittleEndian<int16_t>(int16_t(deleted), ent.data() + 3044 + 7);
    write_file(fx.path("entries.dat"), ent);
    fx.restart();
    QStringList names;
    for (const SummaryEntry& e : fx.core->SummaryData)
        if (e.Inuse == kTrue) names << e.security;
    QCOMPARE(names, loaded ? QStringList({"First", "Second"}) : QStringList({"Second"}));
}

void TestRecords::damaged_counts_are_clamped_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("last_item");    // entries.dat last_item_index as loaded
    QTest::addColumn<int>("total_items");  // chklist.dat TotalItems as loaded
    QTest::newRow("in range") << 3 << 3 << 3;
    QTest::newRow("30") << 30 << 29 << 30;
    QTest::newRow("huge") << 30000 << 29 << 30;
    QTest::newRow("negative") << -7 << -1 << 0;
}

void TestRecords::damaged_counts_are_clamped() {
    QFETCH(int, stored);
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, "Counted", QString());
    QVERIFY(fx.core->save_entry());
    fx.core->save_checklist();
    QByteArray ent = read_file(fx.path("entries.dat"));
    qToLittleEndian<int16_t>(int16_t(stored), ent.data() + 3044 + 712);
    write_file(fx.path("entries.dat"), ent);
    QByteArray cl = read_file(fx.path("chklist.dat"));
    qToLittleEndian<int16_t>(int16_t(stored), cl.data() + 1620);
    write_file(fx.path("chklist.dat"), cl);
    fx.restart();
    QTEST(int(fx.core->SummaryData[0].checklist[0].last_item_index), "last_item");
    QTEST(int(fx.core->Checklists[0].TotalItems), "total_items");
    QVERIFY(fx.core->load_entry(0));
    if (stored >= 0) QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[0].text, QString("Be patient."));
}

// A damaged chain 1 -> 2 -> 1: read once round, and rewritten without going back into 1.
void TestRecords::vardata_cycle_is_not_followed() {
    CoreFixture fx;
    fx.start();
    Core& c = *fx.core;
    QFile f;
    QVERIFY(c.open_vardata(f));
    int32_t index = c.next_vardata_index;
    QVERIFY(c.write_vardata(f, index, QString(100, u'a') + QString(100, u'b')));
    f.close();
    QByteArray var = read_file(fx.path("VarData.dat"));
    qToLittleEndian<int32_t>(1, var.data() + 111 + 7);  // record 2 points back at 1
    write_file(fx.path("VarData.dat"), var);
    QVERIFY(c.open_vardata(f));
    QString back;
    uint8_t format;
    int32_t owner;
    QVERIFY(c.read_vardata(f, 1, back, format, owner));
    QCOMPARE(back, QString(100, u'a') + QString(100, u'b'));
    QVERIFY(c.write_vardata(f, index, QString(100, u'c') + QString(100, u'd') + QString(100, u'e') + QString(50, u'f')));
    f.close();
    var = read_file(fx.path("VarData.dat"));
    QCOMPARE(var.size(), 4 * 111);
    QCOMPARE(QList<int>({i32_at(var, 7), i32_at(var, 111 + 7), i32_at(var, 222 + 7), i32_at(var, 333 + 7)}),
             QList<int>({2, 3, 4, 0}));
    QCOMPARE(var.mid(11, 100), QByteArray(100, 'c'));
    QCOMPARE(var.mid(222 + 11, 100), QByteArray(100, 'e'));
    QVERIFY(c.open_vardata(f));
    QVERIFY(c.read_vardata(f, 1, back, format, owner));
    QCOMPARE(back.size(), 350);
}

void TestRecords::unreadable_item_texts_keep_chains_data() {
    QTest::addColumn<bool>("past_the_end");
    QTest::newRow("index past the end of VarData.dat") << true;
    QTest::newRow("VarData.dat cut after the start") << false;
}

// Item texts and comments that cannot be read come back unknown, not empty: a save keeps
// their chains, and the user is told once.
void TestRecords::unreadable_item_texts_keep_chains() {
    QFETCH(bool, past_the_end);
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, "Kept", "Details.");
    QVERIFY(fx.core->save_entry());
    QByteArray ent = read_file(fx.path("entries.dat"));
    int32_t text = 2, comment = 3;
    if (past_the_end) {
        text = 9999, comment = 8888;
        qToLittleEndian<int32_t>(text, ent.data() + 3044 + 716);
        qToLittleEndian<int32_t>(comment, ent.data() + 3044 + 720);
        write_file(fx.path("entries.dat"), ent);
    }
    fx.restart();
    Core& c = *fx.core;
    const QByteArray var = read_file(fx.path("VarData.dat"));
    if (!past_the_end) write_file(fx.path("VarData.dat"), var.left(111));  // only the details remain
    fx.messages.boxes.clear();
    QVERIFY(c.load_entry(0));
    QCOMPARE(fx.messages.box_texts().filter("Some checklist texts of this entry could not be read").size(), 1);
    QCOMPARE(fx.messages.boxes.size(), 1);
    QCOMPARE(c.current_entry.entry.checklist[0].Item[0].text, QString());
    c.current_entry.entry.price = 770000;
    QVERIFY(c.save_entry());
    const QByteArray saved = read_file(fx.path("entries.dat")).mid(3044);
    QCOMPARE(i64_at(saved, 82), int64_t(770000));
    QCOMPARE(i32_at(saved, 716), text);
    QCOMPARE(i32_at(saved, 720), comment);
    if (!past_the_end) {
        write_file(fx.path("VarData.dat"), var);
        fx.restart();
        QVERIFY(fx.core->load_entry(0));
        QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[0].text, QString("Be patient."));
        QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[0].comment, QString("I am."));
    }
}

void TestRecords::comment_of_an_empty_item_is_read() {
    CoreFixture fx;
    fx.start();
    make_new_entry(*fx.core, "Lonely", QString());
    fx.core->current_entry.entry.checklist[0].Item[1].text.clear();
    fx.core->current_entry.entry.checklist[0].Item[1].comment = "A comment without a question.";
    QVERIFY(fx.core->save_entry());
    fx.restart();
    QVERIFY(fx.core->load_entry(0));
    QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[1].comment, QString("A comment without a question."));
    fx.core->current_entry.entry.price = 1;
    QVERIFY(fx.core->save_entry());
    fx.restart();
    QVERIFY(fx.core->load_entry(0));
    QCOMPARE(fx.core->current_entry.entry.checklist[0].Item[1].comment, QString("A comment without a question."));
}

// A reload that cannot open entries.dat keeps the table as it was.
void TestRecords::reload_keeps_table_when_file_cannot_open() {
    CoreFixture fx;
    fx.start();
    for (const char* name : {"One", "Two", "Three"}) {
        make_new_entry(*fx.core, name, QString());
        QVERIFY(fx.core->save_entry());
    }
    fx.restart();
    Core& c = *fx.core;
    QCOMPARE(c.SummaryData.size(), 3);
    QFile::rename(fx.path("entries.dat"), fx.path("entries.bak"));
    QVERIFY(QDir(fx.dir.path()).mkdir("entries.dat"));
    c.load_summary_data();
    QVERIFY(fx.messages.box_texts().last().startsWith("Error: Reading Summary file failed: "));
    QCOMPARE(c.SummaryData.size(), 3);
    QCOMPARE(c.SummaryData[2].security, QString("Three"));
    QCOMPARE(c.next_summary_record, 0);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
