// The entry table's sort orders with their tie-breaks, and the look-ups over entries and
// checklists.
#include "core/ole_date.h"
#include "core/sorting.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

using Table = QVector<SummaryEntry>;
Q_DECLARE_METATYPE(Table)

namespace {

// One entry, labelled through its symbol (which no key looks at).
struct E {
    SummaryEntry e;
    explicit E(const char* label) {
        e.symbol = label;
        e.Inuse = kTrue;
    }
    E& on(int march_day, double time_of_day = 0) {
        e.entry_date = ole_from_date(QDate(2026, 3, march_day)) + time_of_day;
        return *this;
    }
    E& idx(int32_t file_idx) { e.file_idx = file_idx; return *this; }
    E& sec(const QString& s) { e.security = s; return *this; }
    E& tr(const QString& t) { e.transaction = t; return *this; }
    E& price(Currency p) { e.price = p; return *this; }
    E& block(int b, const QString& name, bool completed) {
        e.checklist[b].Inuse = kTrue;
        e.checklist[b].name = name;
        e.checklist[b].completed = to_flag(completed);
        return *this;
    }
    E& web(const QString& topic) {
        e.web.present = kTrue;
        e.web.reference_name = topic;
        return *this;
    }
    E& file(const QString& path, const QString& topic = QString()) {
        e.file.present = kTrue;
        e.file.path = path;
        e.web.reference_name = topic;
        return *this;
    }
    E& unused() { e.Inuse = kFalse; return *this; }
    operator SummaryEntry() const { return e; }
};

QStringList labels(const Table& t) {
    QStringList l;
    for (const SummaryEntry& e : t) l << e.symbol;
    return l;
}

} // namespace

class TestSorting : public QObject {
    Q_OBJECT
private slots:
    void sort_orders_data();
    void sort_orders();
    void entries_not_in_use_go_last_data();
    void entries_not_in_use_go_last();
    void unknown_key_keeps_order_data();
    void unknown_key_keeps_order();
    void core_sorts_its_table();

    void first_checklist_name();
    void answer_status_data();
    void answer_status();
    void add_checklist_slot();
    void find_free_checklist_slot();
    void lookup_symbol_by_name();
};

void TestSorting::sort_orders_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Table>("table");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty table") << int(sort_date) << Table{} << QStringList{};
    QTest::newRow("date: older first") << int(sort_date) << Table{E("mar2").on(2), E("mar1").on(1)}
                                       << QStringList{"mar1", "mar2"};
    QTest::newRow("date: time of day counts")
        << int(sort_date) << Table{E("evening").on(1, 0.75).idx(1), E("morning").on(1, 0.25).idx(2)}
        << QStringList{"morning", "evening"};
    QTest::newRow("date: same moment by file_idx")
        << int(sort_date) << Table{E("f7").on(1).idx(7), E("f3").on(1).idx(3), E("f5").on(1).idx(5)}
        << QStringList{"f3", "f5", "f7"};
    QTest::newRow("security: case ignored, then date")
        << int(sort_security)
        << Table{E("b").sec("beta").on(1), E("A3").sec("APPLE").on(3), E("a2").sec("apple").on(2),
                 E("Z").sec("Zed").on(1), E("empty").sec("").on(9)}
        << QStringList{"empty", "a2", "A3", "b", "Z"};
    QTest::newRow("transaction: case ignored, then date")
        << int(sort_transaction)
        << Table{E("sell").tr("Sell").on(1), E("buy5").tr("buy").on(5), E("buy4").tr("Buy").on(4),
                 E("cover").tr("Cover Short").on(1)}
        << QStringList{"buy4", "buy5", "cover", "sell"};
    // 2^53 and 2^53 + 1 are one value as doubles; as fixed point they differ.
    QTest::newRow("price: exact fixed point, then date")
        << int(sort_price)
        << Table{E("big1").price(9007199254740993LL).on(1), E("big0").price(9007199254740992LL).on(2),
                 E("neg").price(-10000).on(9), E("zero3").price(0).on(3), E("zero2").price(0).on(2)}
        << QStringList{"neg", "zero2", "zero3", "big0", "big1"};
    QTest::newRow("checklist: first completed block, lower-cased")
        << int(sort_checklist)
        << Table{E("second").block(0, "Alpha", false).block(1, "Zeta", true).on(1),
                 E("first").block(0, "beta", true).block(1, "Aaa", true).on(1),
                 E("none").block(0, "Aaa", false).on(5), E("upper").block(2, "ALPHA", true).on(1)}
        << QStringList{"none", "upper", "first", "second"};
    QTest::newRow("topic: web, file topic, file name")
        << int(sort_topic)
        << Table{E("web").web("Minutes").on(1), E("fileref").file("C:\\docs\\zz.pdf", "Annual").on(1),
                 E("filename").file("C:\\docs\\Budget.xls").on(1), E("plain").on(1)}
        << QStringList{"plain", "fileref", "filename", "web"};
    QTest::newRow("topic: ties by date") << int(sort_topic) << Table{E("late").web("call").on(4), E("early").web("Call").on(3)}
                                         << QStringList{"early", "late"};
    QTest::newRow("order added: file_idx only")
        << int(sort_order_added) << Table{E("i3").idx(3).on(1), E("i1").idx(1).on(9), E("i2").idx(2).on(5)}
        << QStringList{"i1", "i2", "i3"};
    // Equal keys and dates: the gap-2 pass carries ar in front of aq, and the final
    // pass leaves them so. Lists saved in this order must come out the same.
    QTest::newRow("ties keep the passes' order")
        << int(sort_security)
        << Table{E("bx").sec("b"), E("cp").sec("c"), E("by").sec("b"), E("aq").sec("a"), E("ar").sec("a")}
        << QStringList{"ar", "aq", "bx", "by", "cp"};
}

void TestSorting::sort_orders() {
    QFETCH(int, key);
    QFETCH(Table, table);
    QFETCH(QStringList, expected);
    sort_summary_data(table, key);
    QCOMPARE(labels(table), expected);
}

void TestSorting::entries_not_in_use_go_last_data() {
    QTest::addColumn<int>("key");
    for (int k = sort_date; k <= sort_order_added; ++k) QTest::addRow("key %d", k) << k;
}

void TestSorting::entries_not_in_use_go_last() {
    QFETCH(int, key);
    // The free element is older, cheaper, first by name and first added, yet stays last.
    Table t{E("free").unused().on(1).idx(0).price(-50000),
            E("x").sec("Xerox").tr("Sell").price(30000).on(4).idx(4).block(0, "Value", true).web("q3"),
            E("old").unused().on(2).idx(1), E("y").sec("Yahoo").tr("Buy").price(20000).on(3).idx(3)};
    sort_summary_data(t, key);
    QCOMPARE(t.size(), 4);
    QCOMPARE(t[2].Inuse, kFalse);
    QCOMPARE(t[3].Inuse, kFalse);
    QVERIFY(t[0].Inuse == kTrue && t[1].Inuse == kTrue);
}

void TestSorting::unknown_key_keeps_order_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("9") << 9;
    QTest::newRow("-1") << -1;
    QTest::newRow("7") << 7;
}

void TestSorting::unknown_key_keeps_order() {
    QFETCH(int, key);
    Table t{E("free").unused().on(1), E("b").sec("b").on(5), E("a").sec("a").on(2)};
    sort_summary_data(t, key);
    QCOMPARE(labels(t), (QStringList{"free", "b", "a"}));
}

void TestSorting::core_sorts_its_table() {
    CoreFixture f;
    f.core->SummaryData = {E("mar2").on(2), E("mar1").on(1)};
    f.core->sort_summary_data(sort_date);
    QCOMPARE(labels(f.core->SummaryData), (QStringList{"mar1", "mar2"}));
}

void TestSorting::first_checklist_name() {
    CoreFixture f;
    f.core->SummaryData = {E("second").block(0, "Alpha", false).block(1, "Growth CHECK", true), E("none")};
    QCOMPARE(f.core->first_checklist_name_lower(0), QString("growth check"));
    QCOMPARE(f.core->first_checklist_name_lower(1), QString());
    QCOMPARE(f.core->first_checklist_name_lower(2), QString());
    QCOMPARE(f.core->first_checklist_name_lower(-1), QString());
}

void TestSorting::answer_status_data() {
    QTest::addColumn<int>("last_item_index");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("status");
    QTest::newRow("no items") << -1 << QList<int>{1, 1} << int(status_none_answered);
    QTest::newRow("none answered") << 2 << QList<int>{0, 0, 0} << int(status_none_answered);
    QTest::newRow("some answered") << 2 << QList<int>{1, 0, 3} << int(status_partly_answered);
    QTest::newRow("all answered") << 2 << QList<int>{1, 2, 3} << int(status_completed);
    QTest::newRow("items past the last do not count") << 1 << QList<int>{2, 3, 0} << int(status_completed);
    QTest::newRow("one item") << 0 << QList<int>{3} << int(status_completed);
    QList<int> all(kItemsPerChecklist, 1);
    QTest::newRow("damaged count beyond the items") << 40 << all << int(status_completed);
}

void TestSorting::answer_status() {
    QFETCH(int, last_item_index);
    QFETCH(QList<int>, answers);
    QFETCH(int, status);
    EntryChecklist blk;
    blk.last_item_index = int16_t(last_item_index);
    for (int j = 0; j < answers.size(); ++j) blk.Item[j].answer = int16_t(answers[j]);
    QCOMPARE(int(checklist_answer_status(blk)), status);
}

void TestSorting::add_checklist_slot() {
    CoreFixture f;
    Core& c = *f.core;
    c.blank_checklist.Name = "blank";
    c.Checklists.resize(2);
    c.Checklists[1].Name = "kept";
    c.current_checklist_index = 0;
    QVERIFY(c.add_checklist_slot());
    QCOMPARE(c.Checklists.size(), 3);
    QCOMPARE(c.maxChecklists_index(), 2);
    QCOMPARE(c.current_checklist_index, int16_t(2));
    QCOMPARE(c.Checklists[1].Name, QString("kept"));
    QCOMPARE(c.Checklists[2].Name, QString("blank"));
}

void TestSorting::find_free_checklist_slot() {
    CoreFixture f;
    Core& c = *f.core;
    c.Checklists.resize(4);
    for (Checklist& cl : c.Checklists) cl.Inuse = kTrue;
    c.Checklists[2].Inuse = kFalse;
    c.Checklists[2].Name = "freed";
    QVERIFY(c.find_free_checklist_slot());
    QCOMPARE(c.current_checklist_index, int16_t(2));
    QCOMPARE(c.Checklists.size(), 4);
    QCOMPARE(c.Checklists[2].Name, QString("freed"));  // the caller fills it

    // None free: the table grows by a blank one.
    c.Checklists[2].Inuse = kTrue;
    QVERIFY(c.find_free_checklist_slot());
    QCOMPARE(c.Checklists.size(), 5);
    QCOMPARE(c.current_checklist_index, int16_t(4));
    QCOMPARE(c.Checklists[4].Inuse, kFalse);
}

void TestSorting::lookup_symbol_by_name() {
    CoreFixture f;
    Core& c = *f.core;
    SummaryEntry first = E("IBM").sec("INTL MACHINES ");
    first.symbol = "IBM ";
    SummaryEntry unused = E("IBMX").sec("Intl Machines").unused();
    SummaryEntry newest = E("").sec("intl machines");
    c.SummaryData = {first, E("OTHER").sec("Other"), newest};
    QCOMPARE(c.lookup_symbol_by_name("intl machines"), QString("IBM"));  // index 0, past the empty symbol
    c.SummaryData.insert(2, unused);
    QCOMPARE(c.lookup_symbol_by_name("intl machines"), QString("IBMX"));  // in use or not
    QCOMPARE(c.lookup_symbol_by_name("Intl"), QString());
    QCOMPARE(c.lookup_symbol_by_name("nobody"), QString());
}

QTEST_GUILESS_MAIN(TestSorting)
#include "tst_sorting.moc"
