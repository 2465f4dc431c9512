// The completion table: how saved names enter it, how the start-up build fills it, and
// which names a typed beginning finds.
#include "core/autocomplete.h"
#include "support/fakes.h"

#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QStringList position(const Core& c, QChar first) {
    const auto& p = c.autocomplete_names[first.unicode() - kFirstCompletionCode];
    return {p[0], p[1], p[2]};
}

SummaryEntry entry(const QString& security, const QString& transaction = "Buy", bool in_use = true) {
    SummaryEntry e;
    e.Inuse = to_flag(in_use);
    e.security = security;
    e.transaction = transaction;
    return e;
}

} // namespace

class TestAutocomplete : public QObject {
    Q_OBJECT
private slots:
    void add_entry_data();
    void add_entry();
    void names_outside_the_table_data();
    void names_outside_the_table();
    void build_from_entries();
    void build_keeps_names_present();
    void last_custom_trans_type_data();
    void last_custom_trans_type();
    void find_completion_data();
    void find_completion();
};

void TestAutocomplete::add_entry_data() {
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QStringList>("expected");
    const QStringList four{"Apple", "Amazon", "Alcoa", "Adobe"};
    QTest::newRow("newest first, oldest drops out") << four << QStringList{"Adobe", "Alcoa", "Amazon"};
    QTest::newRow("again the third: swaps with the first") << four + QStringList{"Amazon"}
                                                           << QStringList{"Amazon", "Alcoa", "Adobe"};
    QTest::newRow("again the second: swaps with the first") << four + QStringList{"Alcoa"}
                                                            << QStringList{"Alcoa", "Adobe", "Amazon"};
    QTest::newRow("again the first: no change") << four + QStringList{"Adobe"}
                                                << QStringList{"Adobe", "Alcoa", "Amazon"};
    QTest::newRow("case makes another name") << QStringList{"Apple", "APPLE"} << QStringList{"APPLE", "Apple", ""};
    QTest::newRow("small letters elsewhere") << QStringList{"apple", "Amazon"} << QStringList{"Amazon", "", ""};
}

void TestAutocomplete::add_entry() {
    QFETCH(QStringList, saved);
    QFETCH(QStringList, expected);
    CoreFixture f;
    for (const QString& name : saved) f.core->add_autocomplete_entry(name);
    QCOMPARE(position(*f.core, u'A'), expected);
}

void TestAutocomplete::names_outside_the_table_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("recorded");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("leading blank") << QString(" Apple") << false;
    QTest::newRow("tilde") << QString("~Tilde") << false;
    QTest::newRow("accented") << QString::fromUtf8("\xc3\x84pfel") << false;
    QTest::newRow("exclamation mark") << QString("!Bang") << true;
    QTest::newRow("closing brace") << QString("}Brace") << true;
}

void TestAutocomplete::names_outside_the_table() {
    QFETCH(QString, name);
    QFETCH(bool, recorded);
    CoreFixture f;
    f.core->add_autocomplete_entry(name);
    f.core->SummaryData = {entry(name)};
    f.core->build_autocomplete_table();
    int filled = 0;
    for (const auto& p : f.core->autocomplete_names)
        for (const QString& n : p) filled += n.isEmpty() ? 0 : 1;
    QCOMPARE(filled, recorded ? 1 : 0);
    QString completion;
    QCOMPARE(!name.isEmpty() && f.core->find_completion(name.at(0).unicode(), completion, QString()), recorded);
    if (recorded) QCOMPARE(completion, name);
}

void TestAutocomplete::build_from_entries() {
    CoreFixture f;
    Core& c = *f.core;
    // Oldest first, as in entries.dat.
    c.SummaryData = {entry("Apple"), entry("Amazon"), entry("Alcoa"), entry("Ghost", "Buy", false),
                     entry("Adobe"), entry("Alcoa"), entry("Gone", "Buy", false), entry(""), entry("Boeing")};
    c.build_autocomplete_table();
    QCOMPARE(position(c, u'A'), (QStringList{"Alcoa", "Adobe", "Amazon"}));
    QCOMPARE(position(c, u'B'), (QStringList{"Boeing", "", ""}));
    QCOMPARE(position(c, u'G'), (QStringList{"", "", ""}));
    QVERIFY(f.messages.boxes.isEmpty());
}

void TestAutocomplete::build_keeps_names_present() {
    CoreFixture f;
    Core& c = *f.core;
    c.add_autocomplete_entry("Apple");
    c.SummaryData = {entry("Amazon"), entry("Apple"), entry("Adobe")};
    c.build_autocomplete_table();  // as after a restore
    QCOMPARE(position(c, u'A'), (QStringList{"Apple", "Adobe", "Amazon"}));
}

void TestAutocomplete::last_custom_trans_type_data() {
    QTest::addColumn<QStringList>("types");  // oldest first
    QTest::addColumn<QString>("expected");
    QTest::newRow("newest of the user's own") << QStringList{"Accumulate", "Hold", "Buy", "SELL", "Web Page"}
                                              << QString("Hold");
    QTest::newRow("reference kinds are not types")
        << QStringList{"Trim ", "call notes", "FILE", "web page"} << QString("Trim");
    QTest::newRow("none of the user's own") << QStringList{"Buy", "Sell"} << QString();
}

void TestAutocomplete::last_custom_trans_type() {
    QFETCH(QStringList, types);
    QFETCH(QString, expected);
    CoreFixture f;
    Core& c = *f.core;
    c.last_custom_trans_type = "stale";
    for (const QString& t : types) c.SummaryData.append(entry("Name", t));
    c.SummaryData.append(entry("", "Skipped: no name"));
    c.SummaryData.append(entry("Unused", "Skipped: not in use", false));
    c.build_autocomplete_table();
    QCOMPARE(c.last_custom_trans_type, expected);
}

void TestAutocomplete::find_completion_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");  // "" = not found
    QTest::newRow("no prefix: the newest") << int('A') << QString() << QString("Adobe");
    QTest::newRow("prefix: the second") << int('A') << QString("Al") << QString("Alcoa");
    QTest::newRow("prefix: the third") << int('A') << QString("Am") << QString("Amazon");
    QTest::newRow("the newest is not offered for a prefix") << int('A') << QString("Ad") << QString();
    QTest::newRow("prefix is exact, case counts") << int('A') << QString("AL") << QString();
    QTest::newRow("prefix longer than the name") << int('A') << QString("Alcoa Inc") << QString();
    QTest::newRow("empty position") << int('Q') << QString() << QString();
    QTest::newRow("below the table") << 32 << QString() << QString();
    QTest::newRow("above the table") << 126 << QString() << QString();
}

void TestAutocomplete::find_completion() {
    QFETCH(int, code);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    CoreFixture f;
    for (const char* name : {"Amazon", "Alcoa", "Adobe"}) f.core->add_autocomplete_entry(name);
    QString completion = "untouched";
    QCOMPARE(f.core->find_completion(code, completion, prefix), !expected.isEmpty());
    QCOMPARE(completion, expected.isEmpty() ? QString("untouched") : expected);
}

QTEST_GUILESS_MAIN(TestAutocomplete)
#include "tst_autocomplete.moc"
